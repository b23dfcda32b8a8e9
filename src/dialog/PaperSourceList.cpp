#include "dialog/PaperSourceList.h"

#include <cstddef>

namespace nv {

namespace {

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startsWithIgnoringCase(const CString& text, const CString& prefix) {
    if (prefix.size() > text.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (asciiLower(text[i]) != asciiLower(prefix[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

int MemoryPaperSourceList::GetCount() const {
    return static_cast<int>(items_.size());
}

void MemoryPaperSourceList::ResetContent() {
    items_.clear();
    selected_ = -1;
}

int MemoryPaperSourceList::InsertString(int index, const CString& text) {
    if (index == -1) {
        index = GetCount();
    }
    if (index < 0 || index > GetCount()) {
        return -1;
    }
    items_.insert(items_.begin() + index, text);
    if (selected_ >= index) {
        ++selected_;
    }
    return index;
}

CString MemoryPaperSourceList::GetLBText(int index) const {
    if (index < 0 || index >= GetCount()) {
        return {};
    }
    return items_[static_cast<std::size_t>(index)];
}

int MemoryPaperSourceList::SelectString(int start, const CString& text) {
    const int count = GetCount();
    if (text.empty() || count == 0) {
        return -1;
    }
    const int first = (start < 0 || start >= count) ? 0 : start + 1;
    for (int step = 0; step < count; ++step) {
        const int index = (first + step) % count;
        if (startsWithIgnoringCase(items_[static_cast<std::size_t>(index)], text)) {
            selected_ = index;
            return index;
        }
    }
    return -1;
}

int MemoryPaperSourceList::GetCurSel() const {
    return selected_;
}

int MemoryPaperSourceList::SetCurSel(int index) {
    if (index < -1 || index >= GetCount()) {
        return -1;
    }
    selected_ = index;
    return index;
}

} // namespace nv
