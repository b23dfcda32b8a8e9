// Hexadecimal digits, as read from registry files and percent-encoded URIs.
#pragma once

namespace nv::platform::text {

// The value of the hexadecimal digit C (either case), or -1 when C is not one.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace nv::platform::text
