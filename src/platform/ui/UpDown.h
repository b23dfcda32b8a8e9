// An up-down control (spin) bound to a buddy control by ID. With UDS_SETBUDDYINT it shows its
// position as a number in the buddy and reads the buddy's text back as its position. The
// range starts as 100..0 and the position as 0, as after the platform creates one.
#pragma once

#include "platform/ui/Control.h"

#include <string>

namespace nv::platform {

class UpDown : public Control {
public:
    UpDown(ControlHost& host, int id, int buddyId, DWORD style)
        : Control(host, id, ControlKind::UpDown, style), buddyId_(buddyId) {}

    int GetBuddy() const { return buddyId_; }

    // UDM_SETRANGE: LOWER and UPPER travel as 16-bit halves of the message and are cut to
    // short. Neither range call touches the position or the buddy.
    void SetRange(int lower, int upper);
    // UDM_SETRANGE32.
    void SetRange32(int lower, int upper);
    // UDM_GETRANGE: the upper limit in the low word, the lower limit in the high word.
    DWORD GetRange() const;
    // UDM_GETRANGE32.
    void GetRange32(int& lower, int& upper) const;

    // UDM_SETPOS: POS is cut to short, then set as SetPos32 does; returns the previous
    // position (brought into the current range) as a short.
    int SetPos(int pos);
    // UDM_SETPOS32: clamps POS to the range, makes it the position and writes it into the
    // buddy, but only when the formatted number differs from the buddy's text (then the
    // buddy sends its change notifications before this returns). Returns the previous
    // position, brought into the current range.
    int SetPos32(int pos);
    // UDM_GETPOS: re-reads the buddy (see GetPos32); the position in the low word, nonzero in
    // the high word on error.
    DWORD GetPos();
    // UDM_GETPOS32: re-reads the buddy's text as the position. Thousands separators are
    // ignored; the rest must be a whole decimal number inside the range, else the last good
    // position (brought into the range) is returned with *ERROR = TRUE. ERROR may be null.
    int GetPos32(BOOL* error = nullptr);

    // A user pressing the up or down arrow: reads the buddy, moves one step towards the upper
    // (UP) or lower limit, and writes the buddy when the step stays inside the range.
    void UserStep(bool up);

private:
    bool inBounds(int value) const;
    int clamp(int value) const;
    bool readBuddy();
    void writeBuddy();
    std::string formatPosition() const;

    const int buddyId_;
    int lower_ = 100;
    int upper_ = 0;
    int pos_ = 0;
};

} // namespace nv::platform
