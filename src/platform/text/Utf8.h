// UTF-8, the text encoding of every string the program handles (the ANSI code page is UTF-8):
// well-formed sequences, conversion from UTF-16, and cuts that never split a character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace nv::platform::text {

// The length of the well-formed UTF-8 sequence that starts at TEXT[POS] (1 for an ASCII byte,
// NUL included), or 0 when none starts there: a stray continuation byte, a lead byte without
// its continuation bytes, an overlong form, a surrogate or a value above U+10FFFF.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos);

// Appends the UTF-8 form of the code point CP (at most U+10FFFF) to OUT.
void AppendUtf8(std::string& out, char32_t cp);

// Converts UTF-16 BYTES (without byte-order mark) to UTF-8. An unpaired surrogate becomes
// U+FFFD, a NUL unit is converted like any other, and an odd last byte is ignored.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

// The same for UNITS little-endian code units at BYTES, as PE resources store them.
inline std::string Utf16LeToUtf8(const std::uint8_t* bytes, std::size_t units) {
    return Utf16ToUtf8({reinterpret_cast<const char*>(bytes), 2 * units}, false);
}

// The largest length not above MAX at which TEXT can be cut without splitting a well-formed
// UTF-8 sequence; bytes that are not part of one count as characters of their own.
std::size_t Utf8PrefixLength(std::string_view text, std::size_t max);

} // namespace nv::platform::text
