#include "platform/ui/Control.h"

namespace nv::platform {

BOOL Control::EnableWindow(BOOL enable) {
    const bool wasDisabled = !enabled_;
    const bool now = enable != FALSE;
    if (now != enabled_) {
        enabled_ = now;
        changed(Change::Enabled);
    }
    return wasDisabled ? TRUE : FALSE;
}

BOOL Control::ShowWindow(BOOL show) {
    const bool wasVisible = visible_;
    const bool now = show != FALSE;
    if (now != visible_) {
        visible_ = now;
        changed(Change::Visible);
    }
    return wasVisible ? TRUE : FALSE;
}

int Control::GetWindowTextA(char* buffer, int bufferMax) const {
    return CopyWindowText(GetWindowText(), buffer, bufferMax);
}

BOOL Control::SetText(std::string_view text) {
    text_ = WindowTextOf(text);
    changed(Change::Text);
    return TRUE;
}

IconHandle StaticIcon::SetIcon(IconHandle icon) {
    const IconHandle previous = icon_;
    icon_ = icon;
    changed(Change::Icon);
    return previous;
}

void CheckBox::SetCheck(UINT check) {
    check_ = check > BST_CHECKED ? BST_CHECKED : check;
    changed(Change::Check);
}

void CheckBox::UserClick() {
    if ((GetStyle() & 0x0F) == BS_AUTOCHECKBOX) {
        SetCheck(check_ == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED);
    }
    notify(BN_CLICKED);
}

BOOL Edit::SetText(std::string_view text) {
    // The control's state is complete before the first notification, so a handler that reads
    // or rewrites the text (even this same edit, recursively) sees a settled control.
    Control::SetText(text);
    notify(EN_UPDATE);
    notify(EN_CHANGE);
    return TRUE;
}

bool Edit::UserType(std::string_view text) {
    if (IsReadOnly()) {
        return false;
    }
    std::string typed = WindowTextOf(text);
    if (IsNumber()) {
        std::erase_if(typed, [](char c) { return c < '0' || c > '9'; });
    }
    typed.resize(Utf8FirstChars(typed, static_cast<std::size_t>(limit_)).size());
    SetText(typed);
    return true;
}

} // namespace nv::platform
