// The part of the paper-source drop-down list that the capability reader fills: a pick list with
// the calls and the semantics of the platform's drop-down list control.
#pragma once

#include "platform/wintypes.h"

#include <vector>

namespace nv {

class IPaperSourceList {
public:
    virtual ~IPaperSourceList() = default;
    // Number of entries.
    virtual int GetCount() const = 0;
    // Removes every entry; nothing is selected afterwards.
    virtual void ResetContent() = 0;
    // Inserts TEXT before entry INDEX (-1 or GetCount() append); returns its index, or -1 when
    // INDEX lies beyond the end. A selected entry stays selected.
    virtual int InsertString(int index, const CString& text) = 0;
    // The text of entry INDEX, empty when there is none.
    virtual CString GetLBText(int index) const = 0;
    // Selects the first entry after START (wrapping round, -1 searches from the top) whose text
    // begins with TEXT, ignoring ASCII case; returns its index. When none does, or TEXT is
    // empty, returns -1 and leaves the selection as it was.
    virtual int SelectString(int start, const CString& text) = 0;
    // The selected entry, -1 when none.
    virtual int GetCurSel() const = 0;
    // Selects entry INDEX (-1 clears the selection); returns INDEX, or -1 when out of range, in
    // which case the selection stays as it was.
    virtual int SetCurSel(int index) = 0;
};

// A headless list with those semantics, for front ends without a dialog surface (the
// inspection tool) and for tests.
class MemoryPaperSourceList : public IPaperSourceList {
public:
    int GetCount() const override;
    void ResetContent() override;
    int InsertString(int index, const CString& text) override;
    CString GetLBText(int index) const override;
    int SelectString(int start, const CString& text) override;
    int GetCurSel() const override;
    int SetCurSel(int index) override;

private:
    std::vector<CString> items_;
    int selected_ = -1;
};

} // namespace nv
