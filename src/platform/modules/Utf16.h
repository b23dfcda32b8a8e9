// UTF-16 (little-endian, as stored in PE resources) to UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace nv::platform::pe {

// Converts UNITS code units read from BYTES (2*UNITS bytes, little-endian) to UTF-8. A lone
// surrogate becomes U+FFFD; a NUL unit is converted like any other.
std::string Utf16LeToUtf8(const std::uint8_t* bytes, std::size_t units);

// The longest prefix of TEXT that has at most MAXBYTES bytes and does not end inside a UTF-8
// sequence.
std::size_t Utf8PrefixLength(const std::string& text, std::size_t maxBytes);

} // namespace nv::platform::pe
