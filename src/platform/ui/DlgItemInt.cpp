#include "platform/ui/DlgItemInt.h"

#include <cstdint>

namespace nv::platform {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

UINT ParseDlgItemInt(std::string_view text, BOOL* translated, BOOL bSigned) {
    if (translated != nullptr) {
        *translated = FALSE;
    }
    text = text.substr(0, kDlgItemIntChars);
    std::size_t pos = 0;
    while (pos < text.size() && isSpace(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos >= text.size() || !isDigit(text[pos])) {
        return 0;
    }
    // The magnitude saturates just above the largest value either mode accepts, so that an
    // arbitrarily long run of digits can neither overflow nor wrap into range.
    constexpr std::uint64_t kSaturated = std::uint64_t{UINT32_MAX} + 1;
    std::uint64_t magnitude = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) {
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(text[pos] - '0');
        if (magnitude > kSaturated) {
            magnitude = kSaturated;
        }
    }
    UINT value = 0;
    if (bSigned) {
        // INT32_MIN itself is refused as well: it is the value the platform's reader reports
        // for an underflow, and it does not tell the two apart.
        if (magnitude > std::uint64_t{INT32_MAX}) {
            return 0;
        }
        value = static_cast<UINT>(magnitude);
    } else {
        if (magnitude > std::uint64_t{UINT32_MAX}) {
            return 0;
        }
        value = static_cast<UINT>(magnitude);
    }
    if (negative) {
        value = 0u - value;
    }
    // Likewise UINT32_MAX is the unsigned reader's overflow value and is refused.
    if (!bSigned && value == UINT32_MAX) {
        return 0;
    }
    if (translated != nullptr) {
        *translated = TRUE;
    }
    return value;
}

std::string FormatDlgItemInt(UINT value, BOOL bSigned) {
    if (bSigned) {
        return std::to_string(static_cast<std::int32_t>(value));
    }
    return std::to_string(value);
}

} // namespace nv::platform
