#include "job/PjlText.h"

#include <algorithm>

namespace nv {

namespace {

bool isControlByte(unsigned char c) {
    return c < 0x20 || c == 0x7F;
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

CString PjlNameText(std::string_view text) {
    return PjlSafeText(platform::text::ToPrinterText(text));
}

CString PjlNameAttribute(std::string_view text) {
    return PjlAttributeValue(platform::text::ToPrinterText(text));
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

std::optional<CString> PjlPassword(std::string_view password) {
    CString converted = platform::text::ToPrinterText(password);
    if (platform::text::FromPrinterText(converted) != password || !IsPjlSafePassword(converted)) {
        return std::nullopt;
    }
    return converted;
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

bool HoldsOnlyPjlLines(std::string_view text) {
    return std::none_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 && c != '\r' && c != '\n';
    });
}

} // namespace nv
