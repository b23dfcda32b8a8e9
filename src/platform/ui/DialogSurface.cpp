#include "platform/ui/DialogSurface.h"

#include "platform/ui/DlgItemInt.h"
#include "platform/ui/WindowText.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace nv::platform {

template <typename T, typename... Args>
T& DialogSurface::add(int id, Args&&... args) {
    if (id == kDialogId || controls_.contains(id)) {
        throw std::invalid_argument("dialog control ID used twice or reserved: " +
                                    std::to_string(id));
    }
    auto control =
        std::make_unique<T>(static_cast<ControlHost&>(*this), id, std::forward<Args>(args)...);
    T& result = *control;
    controls_.emplace(id, std::move(control));
    order_.push_back(id);
    return result;
}

Label& DialogSurface::AddLabel(int id, std::string_view text) {
    Label& label = add<Label>(id);
    label.SetText(text);
    return label;
}

Edit& DialogSurface::AddEdit(int id, DWORD style) {
    return add<Edit>(id, style);
}

CheckBox& DialogSurface::AddCheckBox(int id, std::string_view caption, DWORD style) {
    CheckBox& box = add<CheckBox>(id, style);
    box.SetText(caption);
    return box;
}

ComboBox& DialogSurface::AddComboBox(int id) {
    return add<ComboBox>(id);
}

UpDown& DialogSurface::AddUpDown(int id, int buddyId, DWORD style) {
    return add<UpDown>(id, buddyId, style);
}

PushButton& DialogSurface::AddPushButton(int id, std::string_view caption) {
    PushButton& button = add<PushButton>(id);
    button.SetText(caption);
    return button;
}

StaticIcon& DialogSurface::AddStaticIcon(int id) {
    return add<StaticIcon>(id);
}

Control* DialogSurface::Find(int id) {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second.get();
}

const Control* DialogSurface::GetDlgItem(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second.get();
}

UINT DialogSurface::GetDlgItemInt(int id, BOOL* translated, BOOL bSigned) const {
    const Control* control = GetDlgItem(id);
    if (control == nullptr) {
        if (translated != nullptr) {
            *translated = FALSE;
        }
        return 0;
    }
    return ParseDlgItemInt(control->GetWindowText(), translated, bSigned);
}

BOOL DialogSurface::SetDlgItemInt(int id, UINT value, BOOL bSigned) {
    Control* control = Find(id);
    return control == nullptr ? FALSE : control->SetText(FormatDlgItemInt(value, bSigned));
}

BOOL DialogSurface::SetDlgItemTextA(int id, const char* text) {
    Control* control = Find(id);
    return control == nullptr ? FALSE : control->SetWindowTextA(text);
}

BOOL DialogSurface::SetDlgItemTextA(int id, const CString& text) {
    Control* control = Find(id);
    return control == nullptr ? FALSE : control->SetWindowTextA(text);
}

UINT DialogSurface::GetDlgItemTextA(int id, char* buffer, int bufferMax) const {
    const Control* control = GetDlgItem(id);
    if (control == nullptr) {
        // The platform empties the caller's buffer when the control does not exist.
        CopyWindowText({}, buffer, bufferMax);
        return 0;
    }
    return static_cast<UINT>(control->GetWindowTextA(buffer, bufferMax));
}

CString DialogSurface::GetDlgItemText(int id) const {
    const Control* control = GetDlgItem(id);
    return control == nullptr ? CString() : control->GetWindowText();
}

BOOL DialogSurface::EnableWindow(int id, BOOL enable) {
    Control* control = Find(id);
    return control == nullptr ? FALSE : control->EnableWindow(enable);
}

BOOL DialogSurface::IsWindowEnabled(int id) const {
    const Control* control = GetDlgItem(id);
    return control == nullptr ? FALSE : control->IsWindowEnabled();
}

BOOL DialogSurface::ShowWindow(int id, BOOL show) {
    Control* control = Find(id);
    return control == nullptr ? FALSE : control->ShowWindow(show);
}

BOOL DialogSurface::IsWindowVisible(int id) const {
    const Control* control = GetDlgItem(id);
    return control == nullptr ? FALSE : control->IsWindowVisible();
}

BOOL DialogSurface::CheckDlgButton(int id, UINT check) {
    CheckBox* box = GetCheckBox(id);
    if (box == nullptr) {
        return FALSE;
    }
    box->SetCheck(check);
    return TRUE;
}

UINT DialogSurface::IsDlgButtonChecked(int id) const {
    const auto* box = dynamic_cast<const CheckBox*>(GetDlgItem(id));
    return box == nullptr ? BST_UNCHECKED : box->GetCheck();
}

void DialogSurface::SetTitle(CString title) {
    title_ = std::move(title);
    Changed(kDialogId, Change::Title);
}

void DialogSurface::EndDialog(int result) {
    ended_ = true;
    endResult_ = result;
    Changed(kDialogId, Change::Ended);
}

BOOL SystemMenu::AppendSeparator() {
    items_.push_back({0, {}, true});
    changed_();
    return TRUE;
}

BOOL SystemMenu::AppendString(UINT id, std::string_view text) {
    items_.push_back({id, WindowTextOf(text), false});
    changed_();
    return TRUE;
}

IconHandle DialogSurface::SetIcon(IconHandle icon, bool big) {
    IconHandle& slot = big ? bigIcon_ : smallIcon_;
    const IconHandle previous = slot;
    slot = icon;
    Changed(kDialogId, Change::Icon);
    return previous;
}

void DialogSurface::SetHasSystemMenu(bool has) {
    if (has && !systemMenu_) {
        systemMenu_ = SystemMenu([this] { Changed(kDialogId, Change::Menu); });
    } else if (!has) {
        systemMenu_.reset();
    }
    Changed(kDialogId, Change::Menu);
}

void DialogSurface::SetSysCommandSink(SysCommandSink sink) {
    sysCommandSink_ = sink ? std::make_shared<const SysCommandSink>(std::move(sink)) : nullptr;
}

bool DialogSurface::ChooseSystemCommand(UINT command) {
    if (ended_) {
        return false;
    }
    const std::shared_ptr<const SysCommandSink> sink = sysCommandSink_;
    if (sink) {
        (*sink)(command);
    }
    return true;
}

bool DialogSurface::ChooseCommand(int id) {
    if (ended_) {
        return false;
    }
    Notify(id, 0);
    return true;
}

void DialogSurface::SetNotifySink(NotifySink sink) {
    sink_ = sink ? std::make_shared<const NotifySink>(std::move(sink)) : nullptr;
}

void DialogSurface::SetObserver(Observer observer) {
    observer_ = observer ? std::make_shared<const Observer>(std::move(observer)) : nullptr;
}

// The callables are held through shared pointers and copied before each call, so a handler
// may replace the sink or the observer while it runs.
void DialogSurface::Changed(int id, Change what) {
    const std::shared_ptr<const Observer> observer = observer_;
    if (observer) {
        (*observer)(id, what);
    }
}

void DialogSurface::Notify(int id, int code) {
    const std::shared_ptr<const NotifySink> sink = sink_;
    if (!sink) {
        return;
    }
    if (notifyDepth_ >= kMaxNotifyDepth) {
        ++dropped_;
        return;
    }
    ++notifyDepth_;
    struct DepthGuard {
        int& depth;
        ~DepthGuard() { --depth; }
    } guard{notifyDepth_};
    (*sink)(id, code);
}

bool DialogSurface::acceptsInput(const Control* control) const {
    return control != nullptr && !ended_ && control->AcceptsInput();
}

bool DialogSurface::TypeText(int id, std::string_view text) {
    Edit* edit = GetEdit(id);
    return acceptsInput(edit) && edit->UserType(text);
}

bool DialogSurface::Click(int id) {
    Control* control = Find(id);
    if (!acceptsInput(control)) {
        return false;
    }
    if (auto* box = dynamic_cast<CheckBox*>(control)) {
        box->UserClick();
        return true;
    }
    if (auto* button = dynamic_cast<PushButton*>(control)) {
        button->UserClick();
        return true;
    }
    return false;
}

bool DialogSurface::PickItem(int id, int index) {
    ComboBox* combo = GetComboBox(id);
    return acceptsInput(combo) && combo->UserPick(index);
}

bool DialogSurface::StepSpin(int id, bool up) {
    UpDown* spin = GetUpDown(id);
    if (!acceptsInput(spin)) {
        return false;
    }
    const Control* buddy = Find(spin->GetBuddy());
    if (buddy != nullptr && !buddy->IsWindowEnabled()) {
        return false;
    }
    spin->UserStep(up);
    return true;
}

} // namespace nv::platform
