// A dialog surface shown as a real dialog window, created by the system from a dialog template
// of the resource library. The window holds no logic: it mirrors the surface's state (texts,
// checks, items, selection, enabled and visible states, icons, title, system-menu items, end)
// into the controls through the surface's observer, and hands what the user does to the
// surface's input calls, which send the notifications the dialog's logic handles.
//
// The controls echo the program's own writes (a text written into an edit sends EN_CHANGE, an
// up-down control writes its buddy): those echoes are dropped, and up-down steps are refused
// by the window and made by the surface, so every notification reaches the logic once.
#pragma once

#include "gui/win32/Handles.h"
#include "gui/win32/ResourceLibrary.h"
#include "platform/ui/DialogSurface.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>
namespace nv::gui {

// What the window itself does beyond its controls and its system menu.
struct WindowHandlers {
    // Escape, the close box and the system menu's Close. Unset: the surface ends with IDCANCEL.
    std::function<void()> onCancel;
    // F1, with the help context ID of the control that has the focus (its control ID; 0 when
    // none has it). Unset: F1 does nothing.
    std::function<void(int contextId)> onHelp;
};

class DialogWindow {
public:
    // The control ID of the Cancel button shown while a job is sent.
    static constexpr int kJobCancelId = 0x7F01;

    DialogWindow(platform::DialogSurface& surface, ResourceLibrary& resources,
                 WindowHandlers handlers);
    ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // Creates the window from template TEMPLATEID, owned by OWNER, and runs it modally until
    // the surface ends. Returns the surface's end result (at once when it has ended already),
    // or -1 when the window cannot be created. SHOWN, when set, is called once the window is
    // up, from inside the modal loop (tests drive the window from there).
    int Run(UINT templateId, WindowHandle owner,
            const std::function<void(WindowHandle)>& shown = {});

    WindowHandle Handle() const { return hwnd_; }

    // The window's message handling, called by its dialog procedure.
    void Attach(WindowHandle hwnd);
    std::intptr_t HandleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

    // Long jobs: while busy the window shows how much has gone and takes no input but a
    // request to stop the job (its Cancel button, Escape or the close box). The request is
    // only recorded; the job asks for it and ends.
    void BeginBusy(std::uint64_t totalBytes, const std::wstring& cancelText);
    void ShowProgress(std::uint64_t sentBytes);
    void EndBusy();
    bool JobCancelRequested() const { return busy_ && cancelRequested_; }

private:
    void OnCommand(int id, int code, WindowHandle control);
    bool OnDeltaPos(int id, int delta);
    bool OnSysCommand(UINT command);
    void Mirror(int id, platform::Change what);
    void MirrorControl(int id);
    void MirrorTitle();
    void MirrorIcons();
    void MirrorMenu();
    void Cancel();
    int FocusedControlId() const;
    template <typename Action>
    void UserAction(int id, Action action);

    platform::DialogSurface& surface_;
    ResourceLibrary& resources_;
    WindowHandlers handlers_;
    WindowHandle hwnd_ = nullptr;
    std::function<void(WindowHandle)> shown_;
    std::map<int, int> buddyOf_;     // up-down ID -> its edit's ID
    std::map<int, int> spinOfEdit_;  // edit ID -> its up-down's ID
    std::vector<UINT> menuCommands_; // system-menu commands the program appended
    int echo_ = 0;                   // > 0 while the window writes its own controls
    bool busy_ = false;
    bool cancelRequested_ = false;
    std::uint64_t totalBytes_ = 0;
    int busyStrip_ = 0; // pixels the window grew by for the progress row
    WindowHandle progress_ = nullptr;
    WindowHandle cancelJob_ = nullptr;
};

} // namespace nv::gui
