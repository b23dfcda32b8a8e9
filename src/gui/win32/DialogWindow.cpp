#include "gui/win32/DialogWindow.h"

#include "platform/text/win32/WideText.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/UpDown.h"

#include <algorithm>
#include <vector>

// The system's headers come last: their macros would clash with the program's constants.
#include <windows.h>
// commctrl.h needs windows.h before it.
#include <commctrl.h>
// The surface's own GetWindowText, not the system's macro.
#undef GetWindowText

namespace nv::gui {
namespace {

using platform::Change;
using platform::ControlKind;

std::wstring Wide(const CString& text) {
    // A text that is not well-formed UTF-8 is shown with its bad bytes replaced rather than
    // not at all.
    return platform::WideFromUtf8Replacing(text);
}

std::wstring WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

void SetTextIfChanged(HWND hwnd, const std::wstring& text) {
    if (WindowText(hwnd) != text) {
        SetWindowTextW(hwnd, text.c_str());
    }
}

std::wstring ComboItem(HWND combo, int index) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

INT_PTR CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace

DialogWindow::DialogWindow(platform::DialogSurface& surface, ResourceLibrary& resources,
                           WindowHandlers handlers)
    : surface_(surface), resources_(resources), handlers_(std::move(handlers)) {
    for (int id : surface_.ControlIds()) {
        if (const platform::UpDown* spin = surface_.GetUpDown(id)) {
            buddyOf_[id] = spin->GetBuddy();
            spinOfEdit_[spin->GetBuddy()] = id;
        }
    }
}

DialogWindow::~DialogWindow() {
    surface_.SetObserver({});
}

int DialogWindow::Run(UINT templateId, WindowHandle owner,
                      const std::function<void(WindowHandle)>& shown) {
    if (surface_.IsEnded()) {
        return surface_.GetEndResult();
    }
    if (resources_.Handle() == nullptr) {
        return -1;
    }
    shown_ = shown;
    const INT_PTR result = DialogBoxParamW(resources_.Handle(), MAKEINTRESOURCEW(templateId), owner,
                                           &WindowProcedure, reinterpret_cast<LPARAM>(this));
    hwnd_ = nullptr;
    if (result == -1 || result == 0) {
        // The template is missing or the window could not be made (0: no owner window
        // exists any more).
        return surface_.IsEnded() ? surface_.GetEndResult() : -1;
    }
    return surface_.IsEnded() ? surface_.GetEndResult() : IDCANCEL;
}

namespace {

INT_PTR CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogWindow* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<DialogWindow*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->Attach(hwnd);
        return TRUE;
    }
    self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    const INT_PTR handled = self->HandleMessage(message, wParam, lParam);
    if (message == WM_DESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    }
    return handled;
}

} // namespace

void DialogWindow::Attach(HWND hwnd) {
    hwnd_ = hwnd;
    ++echo_;
    // Each up-down control keeps a position in the middle of a range of three, so that both of
    // its arrows always propose a step; the step itself is refused (see OnDeltaPos).
    for (const auto& [spinId, buddyId] : buddyOf_) {
        if (HWND spin = GetDlgItem(hwnd_, spinId)) {
            SendMessageW(spin, UDM_SETRANGE32, 0, 2);
            SendMessageW(spin, UDM_SETPOS32, 0, 1);
        }
    }
    --echo_;
    for (int id : surface_.ControlIds()) {
        MirrorControl(id);
    }
    MirrorTitle();
    MirrorIcons();
    MirrorMenu();
    surface_.SetObserver([this](int id, Change what) { Mirror(id, what); });
    if (shown_) {
        // Posted, so that it runs inside the modal loop once the window is visible.
        PostMessageW(hwnd_, WM_APP, 0, 0);
    }
    if (surface_.IsEnded()) {
        EndDialog(hwnd_, surface_.GetEndResult());
    }
}

std::intptr_t DialogWindow::HandleMessage(unsigned message, std::uintptr_t wParam,
                                          std::intptr_t lParam) {
    switch (message) {
    case WM_APP:
        if (shown_) {
            // The dialog box shows its window once its queue is first empty; the caller wants
            // it on screen.
            ShowWindow(hwnd_, SW_SHOWNORMAL);
            UpdateWindow(hwnd_);
            const auto shown = std::move(shown_);
            shown_ = nullptr;
            shown(hwnd_);
        }
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header != nullptr && header->code == UDN_DELTAPOS) {
            const auto* step = reinterpret_cast<const NMUPDOWN*>(lParam);
            SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT,
                              OnDeltaPos(static_cast<int>(header->idFrom), step->iDelta));
            return TRUE;
        }
        return FALSE;
    }
    case WM_SYSCOMMAND:
        if (OnSysCommand(static_cast<UINT>(wParam & 0xFFF0))) {
            SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        Cancel();
        return TRUE;
    case WM_HELP:
        if (handlers_.onHelp && !busy_) {
            handlers_.onHelp(FocusedControlId());
        }
        return TRUE;
    case WM_DESTROY:
        surface_.SetObserver({});
        return FALSE;
    default:
        return FALSE;
    }
}

template <typename Action>
void DialogWindow::UserAction(int id, Action action) {
    if (echo_ > 0) {
        return;
    }
    if (busy_) {
        MirrorControl(id);
        return;
    }
    action();
    // The action may have been refused, or the logic may have changed what the control shows.
    MirrorControl(id);
}

void DialogWindow::OnCommand(int id, int code, HWND control) {
    if (busy_) {
        if (id == kJobCancelId || id == IDCANCEL) {
            cancelRequested_ = true;
            if (cancelJob_ != nullptr) {
                EnableWindow(cancelJob_, FALSE);
            }
        }
        return;
    }
    const platform::Control* item = surface_.GetDlgItem(id);
    if (item != nullptr && control == nullptr &&
        item->kind() == platform::ControlKind::PushButton) {
        // Enter, or a key that stands for the button (IDOK with no control named): a click.
        control = GetDlgItem(hwnd_, id);
    }
    if (item == nullptr || control == nullptr) {
        // Not one of the surface's controls: Escape (IDCANCEL), or a command from a menu or a
        // key such as the Help command.
        if (id == IDCANCEL) {
            Cancel();
        } else if (control == nullptr && code == 0 && id != IDOK) {
            surface_.ChooseCommand(id);
        }
        return;
    }
    switch (item->kind()) {
    case ControlKind::CheckBox:
    case ControlKind::PushButton:
        if (code == BN_CLICKED) {
            UserAction(id, [&] { surface_.Click(id); });
        }
        break;
    case ControlKind::Edit:
        if (code == EN_CHANGE) {
            const CString text = platform::Utf8FromWide(WindowText(control));
            UserAction(id, [&] { surface_.TypeText(id, text); });
        }
        break;
    case ControlKind::ComboBox:
        if (code == CBN_SELCHANGE) {
            const auto index = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
            UserAction(id, [&] { surface_.PickItem(id, index); });
        }
        break;
    default:
        break;
    }
}

bool DialogWindow::OnDeltaPos(int id, int delta) {
    if (echo_ == 0 && !busy_ && delta != 0 && buddyOf_.count(id) != 0) {
        UserAction(id, [&] { surface_.StepSpin(id, delta > 0); });
        MirrorControl(buddyOf_[id]);
    }
    // The window never moves the control itself: its position and its buddy's text are the
    // surface's.
    return true;
}

bool DialogWindow::OnSysCommand(UINT command) {
    if (busy_) {
        if (command == SC_CLOSE) {
            OnCommand(IDCANCEL, 0, nullptr);
        }
        return command == SC_CLOSE;
    }
    if (std::find(menuCommands_.begin(), menuCommands_.end(), command) != menuCommands_.end()) {
        surface_.ChooseSystemCommand(command);
        return true;
    }
    if (command == SC_CLOSE) {
        Cancel();
        return true;
    }
    return false;
}

void DialogWindow::Cancel() {
    if (busy_) {
        OnCommand(IDCANCEL, 0, nullptr);
        return;
    }
    if (surface_.IsEnded()) {
        return;
    }
    if (handlers_.onCancel) {
        handlers_.onCancel();
    } else {
        surface_.EndDialog(IDCANCEL);
    }
}

int DialogWindow::FocusedControlId() const {
    for (HWND focus = GetFocus(); focus != nullptr && focus != hwnd_; focus = GetParent(focus)) {
        if (GetParent(focus) == hwnd_) {
            const int id = GetDlgCtrlID(focus);
            return surface_.GetDlgItem(id) != nullptr ? id : 0;
        }
    }
    return 0;
}

void DialogWindow::Mirror(int id, Change what) {
    if (hwnd_ == nullptr) {
        return;
    }
    if (id != platform::DialogSurface::kDialogId) {
        MirrorControl(id);
        return;
    }
    switch (what) {
    case Change::Title:
        MirrorTitle();
        break;
    case Change::Icon:
        MirrorIcons();
        break;
    case Change::Menu:
        MirrorMenu();
        break;
    case Change::Ended:
        EndDialog(hwnd_, surface_.GetEndResult());
        break;
    default:
        break;
    }
}

void DialogWindow::MirrorTitle() {
    ++echo_;
    SetTextIfChanged(hwnd_, Wide(surface_.GetWindowText()));
    --echo_;
}

void DialogWindow::MirrorIcons() {
    for (bool big : {true, false}) {
        const platform::IconHandle handle = surface_.GetIcon(big);
        HICON icon = handle != 0 ? resources_.Icon(static_cast<UINT>(handle), big) : nullptr;
        SendMessageW(hwnd_, WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                     reinterpret_cast<LPARAM>(icon));
    }
}

void DialogWindow::MirrorMenu() {
    const platform::SystemMenu* items = surface_.GetSystemMenu();
    HMENU menu = GetSystemMenu(hwnd_, FALSE);
    if (menu == nullptr) {
        return;
    }
    // The program's items follow the system's own; they are appended once, and again only when
    // the program appends more.
    const std::size_t have = menuCommands_.size();
    std::size_t index = 0;
    if (items == nullptr) {
        return;
    }
    static_assert(sizeof(UINT_PTR) >= sizeof(UINT));
    for (const platform::MenuItem& item : items->Items()) {
        if (index++ < have) {
            continue;
        }
        if (item.separator) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(menu, MF_STRING, item.id, Wide(item.text).c_str());
        }
        menuCommands_.push_back(item.separator ? 0 : item.id);
    }
}

void DialogWindow::MirrorControl(int id) {
    const platform::Control* control = surface_.GetDlgItem(id);
    HWND hwnd = hwnd_ != nullptr ? GetDlgItem(hwnd_, id) : nullptr;
    if (control == nullptr || hwnd == nullptr) {
        return;
    }
    ++echo_;
    // A static icon is drawn as it is whatever its enabled state, so the binding picture stays
    // readable; while a job is sent no control takes input.
    const bool enabled =
        control->kind() == ControlKind::StaticIcon || control->IsWindowEnabled() != 0;
    EnableWindow(hwnd, enabled && !busy_ ? TRUE : FALSE);
    const bool visible = control->IsWindowVisible() != 0;
    // The control's own visible state, whether or not the dialog is shown yet.
    if (((GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0) != visible) {
        ShowWindow(hwnd, visible ? SW_SHOWNA : SW_HIDE);
    }
    switch (control->kind()) {
    case ControlKind::Label:
    case ControlKind::PushButton:
        SetTextIfChanged(hwnd, Wide(control->GetWindowText()));
        break;
    case ControlKind::CheckBox:
        SetTextIfChanged(hwnd, Wide(control->GetWindowText()));
        SendMessageW(hwnd, BM_SETCHECK,
                     static_cast<const platform::CheckBox*>(control)->GetCheck() == 1
                         ? BST_CHECKED
                         : BST_UNCHECKED,
                     0);
        break;
    case ControlKind::StaticIcon: {
        const auto handle = static_cast<const platform::StaticIcon*>(control)->GetIcon();
        HICON icon = handle != 0 ? resources_.Icon(static_cast<UINT>(handle), true) : nullptr;
        if (reinterpret_cast<HICON>(SendMessageW(hwnd, STM_GETICON, 0, 0)) != icon) {
            SendMessageW(hwnd, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        }
        break;
    }
    case ControlKind::Edit: {
        const auto* edit = static_cast<const platform::Edit*>(control);
        const std::wstring text = Wide(edit->GetWindowText());
        if (WindowText(hwnd) != text) {
            DWORD start = 0;
            DWORD end = 0;
            SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                         reinterpret_cast<LPARAM>(&end));
            SetWindowTextW(hwnd, text.c_str());
            const auto caret = static_cast<WPARAM>(std::min<std::size_t>(end, text.size()));
            SendMessageW(hwnd, EM_SETSEL, caret, static_cast<LPARAM>(caret));
        }
        if (edit->GetLimitText() < platform::Edit::kDefaultLimit) {
            SendMessageW(hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(edit->GetLimitText()), 0);
        }
        break;
    }
    case ControlKind::ComboBox: {
        const auto* box = static_cast<const platform::ComboBox*>(control);
        const std::vector<CString>& items = box->items();
        bool same = static_cast<std::size_t>(SendMessageW(hwnd, CB_GETCOUNT, 0, 0)) == items.size();
        for (std::size_t i = 0; same && i < items.size(); ++i) {
            same = ComboItem(hwnd, static_cast<int>(i)) == Wide(items[i]);
        }
        if (!same) {
            SendMessageW(hwnd, CB_RESETCONTENT, 0, 0);
            for (const CString& item : items) {
                SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
            }
        }
        SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(box->GetCurSel()), 0);
        break;
    }
    case ControlKind::UpDown:
        break;
    }
    --echo_;
}

void DialogWindow::BeginBusy(std::uint64_t totalBytes, const std::wstring& cancelText) {
    if (hwnd_ == nullptr) {
        return;
    }
    busy_ = true;
    cancelRequested_ = false;
    totalBytes_ = totalBytes;
    for (int id : surface_.ControlIds()) {
        MirrorControl(id);
    }
    // A row below the dialog's own controls: how far the job is, and the one button that
    // still takes a click.
    RECT unit = {0, 0, 4, 8};
    MapDialogRect(hwnd_, &unit);
    const int margin = unit.right * 7 / 4;
    const int height = unit.bottom * 14 / 8;
    busyStrip_ = height + margin;
    RECT window{};
    GetWindowRect(hwnd_, &window);
    SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left,
                 window.bottom - window.top + busyStrip_, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int top = client.bottom - busyStrip_;
    const int buttonWidth = unit.right * 56 / 4;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    progress_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, margin, top,
                                client.right - 3 * margin - buttonWidth, height, hwnd_, nullptr,
                                instance, nullptr);
    cancelJob_ = CreateWindowExW(0, L"BUTTON", cancelText.empty() ? L"Cancel" : cancelText.c_str(),
                                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                 client.right - margin - buttonWidth, top, buttonWidth, height,
                                 hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kJobCancelId)),
                                 instance, nullptr);
    SendMessageW(cancelJob_, WM_SETFONT, SendMessageW(hwnd_, WM_GETFONT, 0, 0), TRUE);
    SendMessageW(progress_, PBM_SETRANGE32, 0, 1000);
    if (totalBytes == 0) {
        SetWindowLongPtrW(progress_, GWL_STYLE,
                          GetWindowLongPtrW(progress_, GWL_STYLE) | PBS_MARQUEE);
        SendMessageW(progress_, PBM_SETMARQUEE, TRUE, 0);
    }
    SetFocus(cancelJob_);
}

void DialogWindow::ShowProgress(std::uint64_t sentBytes) {
    if (progress_ != nullptr && totalBytes_ != 0) {
        const std::uint64_t done = std::min(sentBytes, totalBytes_);
        SendMessageW(progress_, PBM_SETPOS,
                     static_cast<WPARAM>(static_cast<double>(done) /
                                         static_cast<double>(totalBytes_) * 1000),
                     0);
    }
}

void DialogWindow::EndBusy() {
    if (!busy_) {
        return;
    }
    busy_ = false;
    cancelRequested_ = false;
    if (progress_ != nullptr) {
        DestroyWindow(progress_);
        progress_ = nullptr;
    }
    if (cancelJob_ != nullptr) {
        DestroyWindow(cancelJob_);
        cancelJob_ = nullptr;
    }
    if (hwnd_ != nullptr) {
        RECT window{};
        GetWindowRect(hwnd_, &window);
        SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left,
                     window.bottom - window.top - busyStrip_, SWP_NOMOVE | SWP_NOZORDER);
        for (int id : surface_.ControlIds()) {
            MirrorControl(id);
        }
    }
    busyStrip_ = 0;
}

} // namespace nv::gui
