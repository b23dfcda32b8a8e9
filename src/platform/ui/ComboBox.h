// A drop-down list combo box (a pick list): the program fills it and sets and reads its
// selection; its window text is the selected item's text. Items stay in the order they were
// put in. No program call notifies; a user's pick sends CBN_SELCHANGE.
#pragma once

#include "platform/ui/Control.h"

#include <string_view>
#include <vector>

namespace nv::platform {

class ComboBox : public Control {
public:
    ComboBox(ControlHost& host, int id)
        : Control(host, id, ControlKind::ComboBox, CBS_DROPDOWNLIST) {}

    // CB_ADDSTRING: appends TEXT; returns its index.
    int AddString(std::string_view text);
    // CB_INSERTSTRING: puts TEXT at INDEX (-1 or the count append); returns the index, or
    // CB_ERR for an index below -1 or above the count. The selected item stays selected.
    int InsertString(int index, std::string_view text);
    // CB_DELETESTRING: returns the remaining count, or CB_ERR for a bad index. Deleting the
    // selected item clears the selection.
    int DeleteString(int index);
    // CB_RESETCONTENT: no items, no selection.
    void ResetContent();
    int GetCount() const { return static_cast<int>(items_.size()); }

    // CB_GETCURSEL: the selected index, or CB_ERR when nothing is selected.
    int GetCurSel() const { return curSel_; }
    // CB_SETCURSEL: selects INDEX and returns it; -1 clears the selection and returns CB_ERR;
    // an index out of range returns CB_ERR and keeps the selection (as observed on the
    // platform, where the documentation says it would be cleared).
    int SetCurSel(int index);

    // CB_GETLBTEXTLEN: the item's length in bytes, or CB_ERR for a bad index.
    int GetLBTextLen(int index) const;
    // CB_GETLBTEXT into a string: the item's length, or CB_ERR (OUT emptied) for a bad index.
    int GetLBText(int index, CString& out) const;
    // CB_GETLBTEXT into BUFFER of BUFFERMAX bytes (cut and NUL-terminated like a window
    // text); the bytes copied, or CB_ERR for a bad index.
    int GetLBText(int index, char* buffer, int bufferMax) const;

    // CB_FINDSTRINGEXACT: the first item whose whole text equals TEXT without regard to case,
    // searching from the item after START to the end and then from the top up to START itself.
    // START -1, or any start outside the list, searches from the top. CB_ERR when none
    // matches (an empty TEXT matches only an empty item).
    int FindStringExact(int start, std::string_view text) const;
    // CB_FINDSTRING: the same search for the first item that begins with TEXT, without regard
    // to case. An empty TEXT finds nothing.
    int FindString(int start, std::string_view text) const;
    // CB_SELECTSTRING: selects what FindString finds and returns its index; CB_ERR and the
    // selection unchanged when nothing matches.
    int SelectString(int start, std::string_view text);

    // CB_GETTOPINDEX / CB_SETTOPINDEX: the first item visible in the opened list.
    int GetTopIndex() const { return topIndex_; }
    int SetTopIndex(int index);

    // The selected item's text, or "" when nothing is selected.
    CString GetWindowText() const override;
    // WM_SETTEXT on a drop-down list: refused with CB_ERR; nothing is selected or changed.
    BOOL SetText(std::string_view text) override;

    // A user picking item INDEX from the list: selects it and sends CBN_SELCHANGE, also when it
    // was selected already. Returns false (and does nothing) for an index out of range.
    bool UserPick(int index);

    const std::vector<CString>& items() const { return items_; }

private:
    template <typename Match>
    int search(int start, Match match) const;

    std::vector<CString> items_;
    int curSel_ = CB_ERR;
    int topIndex_ = 0;
};

} // namespace nv::platform
