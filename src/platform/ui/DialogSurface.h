// The headless dialog surface: a dialog's controls by numeric ID with the platform's control
// behaviour, the one place that behaviour is implemented. The dialog logic reads and writes
// the controls through the calls below (named and shaped like the platform's), and receives
// the controls' notifications through one sink, synchronously. A view (or a test, or the
// command-line front end) mirrors the state through the observer and forwards what a user
// does through the input calls, which send the notifications a user's action would.
//
// Re-entrancy: notifications run inside the call that caused them, and a handler may write
// controls (the same one included) or show a message box before it returns. Controls live at
// fixed addresses for the life of the surface and are never removed, and the surface holds no
// reference into its own containers across a notification, so nested calls are safe.
#pragma once

#include "platform/ui/ComboBox.h"
#include "platform/ui/Control.h"
#include "platform/ui/UpDown.h"
#include "platform/wintypes.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace nv::platform {

// One item of the window's system menu as the program appended it.
struct MenuItem {
    UINT id = 0;  // the system command the item sends (0 for a separator)
    CString text; // "" for a separator
    bool separator = false;
    bool operator==(const MenuItem&) const = default;
};

// The items a program appends to the window's system menu (the platform's own items, such as
// Close, are not listed). AppendMenuA in the two forms the program uses.
class SystemMenu {
public:
    BOOL AppendSeparator();
    // A string item that sends system command ID when chosen.
    BOOL AppendString(UINT id, std::string_view text);
    const std::vector<MenuItem>& Items() const { return items_; }

private:
    friend class DialogSurface;
    explicit SystemMenu(std::function<void()> changed) : changed_(std::move(changed)) {}
    std::vector<MenuItem> items_;
    std::function<void()> changed_;
};

class DialogSurface final : private ControlHost {
public:
    // Receives (control ID, notification code).
    using NotifySink = std::function<void(int id, int code)>;
    // Receives (control ID, what changed); the ID is kDialogId for the dialog's own title
    // and end.
    using Observer = std::function<void(int id, Change what)>;
    // Receives a system command (WM_SYSCOMMAND's command ID) chosen from the system menu.
    using SysCommandSink = std::function<void(UINT command)>;

    static constexpr int kDialogId = 0;
    // Notifications nested deeper than this are dropped (and counted) instead of letting a
    // handler that rewrites its own edit forever exhaust the stack.
    static constexpr int kMaxNotifyDepth = 64;

    DialogSurface() = default;
    DialogSurface(const DialogSurface&) = delete;
    DialogSurface& operator=(const DialogSurface&) = delete;
    ~DialogSurface() = default;

    // Building. Each ID may be used once and must not be kDialogId; a repeated or reserved ID
    // throws std::invalid_argument (a fault in the caller's control list).
    Label& AddLabel(int id, std::string_view text = {});
    Edit& AddEdit(int id, DWORD style = 0);
    CheckBox& AddCheckBox(int id, std::string_view caption = {}, DWORD style = BS_AUTOCHECKBOX);
    ComboBox& AddComboBox(int id);
    UpDown& AddUpDown(int id, int buddyId, DWORD style = UDS_SETBUDDYINT | UDS_NOTHOUSANDS);
    PushButton& AddPushButton(int id, std::string_view caption = {});
    StaticIcon& AddStaticIcon(int id);

    // GetDlgItem: the control with ID, or null. The typed forms give null for another kind.
    Control* GetDlgItem(int id) { return Find(id); }
    const Control* GetDlgItem(int id) const;
    Label* GetLabel(int id) { return as<Label>(id); }
    Edit* GetEdit(int id) { return as<Edit>(id); }
    CheckBox* GetCheckBox(int id) { return as<CheckBox>(id); }
    ComboBox* GetComboBox(int id) { return as<ComboBox>(id); }
    UpDown* GetUpDown(int id) { return as<UpDown>(id); }
    PushButton* GetPushButton(int id) { return as<PushButton>(id); }
    StaticIcon* GetStaticIcon(int id) { return as<StaticIcon>(id); }
    // Every control ID in the order the controls were added.
    const std::vector<int>& ControlIds() const { return order_; }

    // The program's calls by ID. A missing control makes each a no-op that returns 0 (FALSE),
    // with *TRANSLATED = FALSE for GetDlgItemInt.
    UINT GetDlgItemInt(int id, BOOL* translated, BOOL bSigned) const;
    BOOL SetDlgItemInt(int id, UINT value, BOOL bSigned);
    BOOL SetDlgItemTextA(int id, const char* text);
    BOOL SetDlgItemTextA(int id, const CString& text);
    // Copies the control's text into BUFFER of BUFFERMAX bytes (cut, NUL-terminated);
    // returns the bytes copied.
    UINT GetDlgItemTextA(int id, char* buffer, int bufferMax) const;
    // The control's whole text ("" when missing).
    CString GetDlgItemText(int id) const;
    BOOL EnableWindow(int id, BOOL enable);
    BOOL IsWindowEnabled(int id) const;
    BOOL ShowWindow(int id, BOOL show);
    BOOL IsWindowVisible(int id) const;
    // CheckDlgButton / IsDlgButtonChecked on a check box; never notifies.
    BOOL CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;

    // The dialog window itself: its title, and its end with a result (IDOK, IDCANCEL...).
    void SetWindowTextA(const char* title) { SetTitle(WindowTextOf(title)); }
    void SetWindowTextA(const CString& title) { SetTitle(WindowTextOf(title)); }
    const CString& GetWindowText() const { return title_; }
    void EndDialog(int result);
    bool IsEnded() const { return ended_; }
    int GetEndResult() const { return endResult_; }

    // WM_SETICON: the window's big (title bar, task switcher) or small icon; returns the one
    // set before. Reported as Change::Icon with kDialogId.
    IconHandle SetIcon(IconHandle icon, bool big);
    IconHandle GetIcon(bool big) const { return big ? bigIcon_ : smallIcon_; }

    // GetSystemMenu(FALSE): the window's system menu, or null when the window has none (a
    // template without WS_SYSMENU; see SetHasSystemMenu).
    SystemMenu* GetSystemMenu() { return systemMenu_ ? &*systemMenu_ : nullptr; }
    void SetHasSystemMenu(bool has);

    void SetNotifySink(NotifySink sink);
    void SetObserver(Observer observer);
    void SetSysCommandSink(SysCommandSink sink);
    // How many notifications were dropped for nesting deeper than kMaxNotifyDepth.
    int DroppedNotifications() const { return dropped_; }

    // User input. Each returns false and does nothing when the control is missing, of another
    // kind, disabled or hidden, or the dialog has ended.
    // Replaces an edit's text as a user would (number edits keep digits only; see Edit).
    bool TypeText(int id, std::string_view text);
    // Clicks a check box (an automatic one toggles) or a push button: BN_CLICKED.
    bool Click(int id);
    // Picks item INDEX of a combo box: CBN_SELCHANGE.
    bool PickItem(int id, int index);
    // Presses an up-down control's up or down arrow; the buddy must be enabled too.
    bool StepSpin(int id, bool up);
    // Chooses system command COMMAND (an item of the system menu, or one of the platform's own
    // such as SC_CLOSE): sends it to the system-command sink. False when the dialog has ended.
    bool ChooseSystemCommand(UINT command);
    // Chooses command ID from a menu or a key (WM_COMMAND with notification code 0 and no
    // control, such as the framework's Help command): sends (ID, 0) to the notify sink. False
    // when the dialog has ended.
    bool ChooseCommand(int id);

private:
    void Changed(int id, Change what) override;
    void Notify(int id, int code) override;
    Control* Find(int id) override;

    template <typename T>
    T* as(int id) {
        return dynamic_cast<T*>(Find(id));
    }
    template <typename T, typename... Args>
    T& add(int id, Args&&... args);
    bool acceptsInput(const Control* control) const;
    void SetTitle(CString title);

    std::map<int, std::unique_ptr<Control>> controls_;
    std::vector<int> order_;
    std::shared_ptr<const NotifySink> sink_;
    std::shared_ptr<const Observer> observer_;
    std::shared_ptr<const SysCommandSink> sysCommandSink_;
    std::optional<SystemMenu> systemMenu_{SystemMenu([this] { Changed(kDialogId, Change::Menu); })};
    IconHandle bigIcon_ = 0;
    IconHandle smallIcon_ = 0;
    CString title_;
    bool ended_ = false;
    int endResult_ = 0;
    int notifyDepth_ = 0;
    int dropped_ = 0;
};

} // namespace nv::platform
