#include "platform/ui/UpDown.h"

#include "platform/ui/WindowText.h"

#include <algorithm>
#include <cstdint>

namespace nv::platform {
namespace {

// The buddy's text is read into a 20-character buffer, so only its first 19 characters count.
constexpr std::size_t kBuddyChars = 19;
constexpr char kThousandsSeparator = ',';

} // namespace

void UpDown::SetRange(int lower, int upper) {
    SetRange32(static_cast<std::int16_t>(lower), static_cast<std::int16_t>(upper));
}

void UpDown::SetRange32(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    changed(Change::Spin);
}

DWORD UpDown::GetRange() const {
    return (static_cast<DWORD>(static_cast<std::uint16_t>(lower_)) << 16) |
           static_cast<std::uint16_t>(upper_);
}

void UpDown::GetRange32(int& lower, int& upper) const {
    lower = lower_;
    upper = upper_;
}

bool UpDown::inBounds(int value) const {
    if (upper_ > lower_) {
        return lower_ <= value && value <= upper_;
    }
    return upper_ <= value && value <= lower_;
}

// Out of range goes to the nearer end; for a reversed range (lower above upper) "below" means
// beyond the lower limit's side.
int UpDown::clamp(int value) const {
    if (inBounds(value)) {
        return value;
    }
    if ((lower_ < upper_ && value < lower_) || (lower_ > upper_ && value > lower_)) {
        return lower_;
    }
    return upper_;
}

int UpDown::SetPos(int pos) {
    return static_cast<std::int16_t>(SetPos32(static_cast<std::int16_t>(pos)));
}

int UpDown::SetPos32(int pos) {
    const int previous = clamp(pos_);
    pos_ = clamp(pos);
    changed(Change::Spin);
    writeBuddy();
    return previous;
}

DWORD UpDown::GetPos() {
    BOOL error = FALSE;
    const int pos = GetPos32(&error);
    return (static_cast<DWORD>(error ? 1 : 0) << 16) | static_cast<std::uint16_t>(pos);
}

int UpDown::GetPos32(BOOL* error) {
    bool ok = readBuddy();
    int pos = pos_;
    if (!inBounds(pos)) {
        pos = clamp(pos);
        ok = false;
    }
    if (error != nullptr) {
        *error = ok ? FALSE : TRUE;
    }
    return pos;
}

bool UpDown::readBuddy() {
    if ((GetStyle() & UDS_SETBUDDYINT) == 0) {
        return false;
    }
    Control* buddy = host_.Find(buddyId_);
    if (buddy == nullptr) {
        return false;
    }
    const CString whole = buddy->GetWindowText();
    std::string text(Utf8FirstChars(whole, kBuddyChars));
    std::erase(text, kThousandsSeparator);
    // The whole rest must be one decimal number: leading white space and a sign are allowed,
    // nothing may follow the digits, and an empty text reads as 0.
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t digitsPos = pos;
    std::int64_t magnitude = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        magnitude = magnitude * 10 + (text[pos] - '0');
        if (magnitude > std::int64_t{INT32_MAX} + 1) {
            magnitude = std::int64_t{INT32_MAX} + 1;
        }
    }
    if (pos == digitsPos) {
        // No digits: nothing was converted. Only a text with nothing at all in it (or only
        // separators) reads as 0; anything else left over is an error.
        if (!text.empty()) {
            return false;
        }
    } else if (pos != text.size()) {
        return false;
    }
    std::int64_t value = negative ? -magnitude : magnitude;
    value = std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX);
    if (!inBounds(static_cast<int>(value))) {
        return false;
    }
    pos_ = static_cast<int>(value);
    return true;
}

std::string UpDown::formatPosition() const {
    std::string digits = std::to_string(pos_);
    if ((GetStyle() & UDS_NOTHOUSANDS) != 0 || digits.size() <= 3) {
        return digits;
    }
    // Groups of three from the right, counted over the whole text as the platform does (a
    // minus sign counts as a digit there).
    std::string grouped;
    const std::size_t first = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    grouped.append(digits, 0, first);
    for (std::size_t i = first; i < digits.size(); i += 3) {
        grouped += kThousandsSeparator;
        grouped.append(digits, i, 3);
    }
    return grouped;
}

void UpDown::writeBuddy() {
    if ((GetStyle() & UDS_SETBUDDYINT) == 0) {
        return;
    }
    Control* buddy = host_.Find(buddyId_);
    if (buddy == nullptr) {
        return;
    }
    const std::string text = formatPosition();
    const CString current = buddy->GetWindowText();
    if (EqualsIgnoringCase(Utf8FirstChars(current, kBuddyChars), text)) {
        return;
    }
    buddy->SetText(text);
}

void UpDown::UserStep(bool up) {
    readBuddy();
    // Up moves towards the upper limit, which lies below the lower one in a reversed range.
    const int delta = (up ? 1 : -1) * (upper_ < lower_ ? -1 : 1);
    const std::int64_t next = std::int64_t{pos_} + delta;
    if (next < INT32_MIN || next > INT32_MAX || !inBounds(static_cast<int>(next))) {
        return;
    }
    pos_ = static_cast<int>(next);
    changed(Change::Spin);
    writeBuddy();
}

} // namespace nv::platform
