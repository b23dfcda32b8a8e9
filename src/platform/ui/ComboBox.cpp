#include "platform/ui/ComboBox.h"

#include "platform/ui/WindowText.h"

namespace nv::platform {

int ComboBox::AddString(std::string_view text) {
    return InsertString(-1, text);
}

int ComboBox::InsertString(int index, std::string_view text) {
    const int count = GetCount();
    if (index == -1) {
        index = count;
    }
    if (index < 0 || index > count) {
        return CB_ERR;
    }
    items_.insert(items_.begin() + index, WindowTextOf(text));
    if (curSel_ >= index) {
        ++curSel_;
    }
    changed(Change::Items);
    return index;
}

int ComboBox::DeleteString(int index) {
    if (index < 0 || index >= GetCount()) {
        return CB_ERR;
    }
    items_.erase(items_.begin() + index);
    if (curSel_ == index) {
        curSel_ = CB_ERR;
    } else if (curSel_ > index) {
        --curSel_;
    }
    if (topIndex_ >= GetCount()) {
        topIndex_ = GetCount() > 0 ? GetCount() - 1 : 0;
    }
    changed(Change::Items);
    return GetCount();
}

void ComboBox::ResetContent() {
    items_.clear();
    curSel_ = CB_ERR;
    topIndex_ = 0;
    changed(Change::Items);
}

int ComboBox::SetCurSel(int index) {
    if (index == -1) {
        curSel_ = CB_ERR;
        changed(Change::Selection);
        return CB_ERR;
    }
    if (index < 0 || index >= GetCount()) {
        return CB_ERR;
    }
    curSel_ = index;
    changed(Change::Selection);
    return index;
}

int ComboBox::GetLBTextLen(int index) const {
    if (index < 0 || index >= GetCount()) {
        return CB_ERR;
    }
    return static_cast<int>(items_[static_cast<std::size_t>(index)].size());
}

int ComboBox::GetLBText(int index, CString& out) const {
    if (index < 0 || index >= GetCount()) {
        out.clear();
        return CB_ERR;
    }
    out = items_[static_cast<std::size_t>(index)];
    return static_cast<int>(out.size());
}

int ComboBox::GetLBText(int index, char* buffer, int bufferMax) const {
    if (index < 0 || index >= GetCount()) {
        return CB_ERR;
    }
    return CopyWindowText(items_[static_cast<std::size_t>(index)], buffer, bufferMax);
}

template <typename Match>
int ComboBox::search(int start, Match match) const {
    const int count = GetCount();
    // A start outside the list searches from the top; values below -1 (which the platform
    // does not survive) are taken the same way.
    if (start < 0 || start >= count) {
        start = count - 1;
    }
    for (int step = 1; step <= count; ++step) {
        const int index = (start + step) % count;
        if (match(items_[static_cast<std::size_t>(index)])) {
            return index;
        }
    }
    return CB_ERR;
}

int ComboBox::FindStringExact(int start, std::string_view text) const {
    const std::string wanted = WindowTextOf(text);
    return search(start, [&](const CString& item) { return EqualsIgnoringCase(item, wanted); });
}

int ComboBox::FindString(int start, std::string_view text) const {
    const std::string wanted = WindowTextOf(text);
    if (wanted.empty()) {
        return CB_ERR;
    }
    return search(start, [&](const CString& item) { return StartsWithIgnoringCase(item, wanted); });
}

int ComboBox::SelectString(int start, std::string_view text) {
    const int index = FindString(start, text);
    if (index != CB_ERR) {
        SetCurSel(index);
    }
    return index;
}

int ComboBox::SetTopIndex(int index) {
    if (index < 0 || index >= GetCount()) {
        return CB_ERR;
    }
    topIndex_ = index;
    return 0;
}

CString ComboBox::GetWindowText() const {
    return curSel_ == CB_ERR ? CString() : items_[static_cast<std::size_t>(curSel_)];
}

BOOL ComboBox::SetText(std::string_view /*text*/) {
    return CB_ERR;
}

bool ComboBox::UserPick(int index) {
    if (index < 0 || index >= GetCount()) {
        return false;
    }
    SetCurSel(index);
    notify(CBN_SELCHANGE);
    return true;
}

} // namespace nv::platform
