#include "job/PjlText.h"

namespace nv {

namespace {

bool isControlByte(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

bool isContinuationByte(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The length of the UTF-8 sequence that lead byte C announces, 0 for a byte that leads none.
std::size_t sequenceLength(unsigned char c) {
    if (c < 0x80) {
        return 1;
    }
    if ((c & 0xE0) == 0xC0) {
        return 2;
    }
    if ((c & 0xF0) == 0xE0) {
        return 3;
    }
    if ((c & 0xF8) == 0xF0) {
        return 4;
    }
    return 0;
}

} // namespace

CString PjlSafeText(std::string_view text) {
    CString safe(text);
    for (char& c : safe) {
        const auto byte = static_cast<unsigned char>(c);
        if (isControlByte(byte)) {
            c = '?';
        } else if (c == '"') {
            c = '\'';
        }
    }
    return safe;
}

CString PjlAttributeValue(std::string_view text) {
    CString value = PjlSafeText(text);
    for (char& c : value) {
        if (c == ';' || c == '=') {
            c = '_';
        }
    }
    return value;
}

bool LinesWithinPjlLimit(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        if (length > kMaxPjlLineBytes) {
            return false;
        }
        text.remove_prefix(length);
    }
    return true;
}

bool IsPjlSafePassword(std::string_view password) {
    for (const char c : password) {
        if (isControlByte(static_cast<unsigned char>(c)) || c == '"') {
            return false;
        }
    }
    return true;
}

CString EscapePassword(std::string_view password) {
    CString escaped;
    escaped.reserve(password.size() * 2);
    for (const char c : password) {
        if (c == '\\' || c == '(' || c == ')') {
            escaped.push_back('\\');
        }
        escaped.push_back(c);
    }
    return escaped;
}

std::size_t Utf8PrefixLength(std::string_view text, std::size_t max) {
    if (max >= text.size()) {
        return text.size();
    }
    // Walk back over at most three continuation bytes to the byte that may lead them.
    std::size_t start = max;
    while (start > 0 && max - start < 3 &&
           isContinuationByte(static_cast<unsigned char>(text[start]))) {
        --start;
    }
    const std::size_t length = sequenceLength(static_cast<unsigned char>(text[start]));
    if (start < max && length > 1 && start + length > max) {
        for (std::size_t i = start + 1; i < start + length && i < text.size(); ++i) {
            if (!isContinuationByte(static_cast<unsigned char>(text[i]))) {
                return max; // not a well-formed sequence: its bytes stand alone
            }
        }
        return start; // the cut would split the sequence that starts at START
    }
    return max;
}

} // namespace nv
