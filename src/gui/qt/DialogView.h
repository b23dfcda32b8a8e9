// A dialog surface drawn with Qt widgets: one widget per control, named "ctl<ID>", arranged by
// the template's layout. The view holds no logic: it mirrors the surface's state (texts,
// checks, items, selection, enabled and visible states, icons, title, end) through the
// surface's observer, and hands what the user does to the surface's input calls (typing,
// clicks, picks, spin steps), which send the notifications the dialog's logic handles.
#pragma once

#include "gui/qt/DialogLayouts.h"
#include "platform/ui/DialogSurface.h"

#include <QDialog>
#include <QIcon>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <utility>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace nv::gui {

// What the window itself does beyond its controls and its system menu (whose items the
// surface holds; the view offers them in the window's context menu and sends the chosen
// command to the surface).
struct WindowHandlers {
    // Escape and the close box. Unset: the surface ends with IDCANCEL.
    std::function<void()> onCancel;
    // F1, with the help context ID of the control that has the focus (its control ID; 0 when
    // no control has it). Unset: F1 does nothing.
    std::function<void(int contextId)> onHelp;
};

// Turns an icon handle of a static icon control into the icon to draw.
using IconResolver = std::function<QIcon(platform::IconHandle)>;

class DialogView : public QDialog {
public:
    // WINDOWICON is drawn while the surface names no icon of its own.
    DialogView(platform::DialogSurface& surface, const DialogLayout& layout, IconResolver icons,
               const QIcon& windowIcon, WindowHandlers handlers, QWidget* parent = nullptr);
    ~DialogView() override;
    DialogView(const DialogView&) = delete;
    DialogView& operator=(const DialogView&) = delete;

    // Runs the window modally until the surface ends; returns the surface's end result at once
    // when it has ended already.
    int exec() override;

    // The widget that draws control ID (for an edit with an up-down control, the edit).
    QWidget* ControlWidget(int id) const;

    // Long jobs: while busy the window shows how much has gone and accepts no input but a
    // request to stop the job: its Cancel button (object name "jobCancel"), Escape or the close
    // box. The request is only recorded; the job asks for it (JobCancelRequested) and ends.
    void BeginBusy(std::uint64_t totalBytes);
    void ShowProgress(std::uint64_t sentBytes);
    void EndBusy();
    bool IsBusy() const { return busy_; }
    bool JobCancelRequested() const { return busy_ && cancelRequested_; }
    // The text of the Cancel button shown while busy (empty: left as it is).
    void SetCancelJobText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

public:
    void reject() override;

private:
    void Build(const DialogLayout& layout);
    QWidget* CreateCellWidget(int id);
    QWidget* CreateControlWidget(const platform::Control& control);
    QWidget* CreateSpinArrows(const platform::UpDown& spin);
    void Mirror(int id, platform::Change what);
    void MirrorControl(int id);
    void MirrorTitle();
    void MirrorWindowIcon();
    void Cancel();
    void RequestJobCancel();
    int FocusedControlId() const;
    // Runs a user action on the surface, then brings the control's widget back in line with
    // the surface (the action may have been refused or changed what the widget shows).
    template <typename Action>
    void UserAction(int id, Action action);

    platform::DialogSurface& surface_;
    IconResolver icons_;
    WindowHandlers handlers_;
    QIcon fallbackIcon_;
    int defaultButton_ = 0;
    std::map<int, QWidget*> widgets_;
    std::map<int, int> spinOfEdit_; // edit ID -> up-down ID
    std::set<int> elided_;          // labels drawn cut with an ellipsis
    int maximumTextWidth_ = 0;      // pixels; see DialogLayout::maximumTextColumns
    QWidget* content_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancelJob_ = nullptr;
    bool busy_ = false;
    bool cancelRequested_ = false;
    std::uint64_t totalBytes_ = 0;
    bool mirroring_ = false;
};

} // namespace nv::gui
