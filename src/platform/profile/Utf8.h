// UTF-8 helpers of the profile reader: our ANSI code page is UTF-8, so UTF-16 text is
// converted to it and cuts must respect its characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nv::platform::profile {

// Converts UTF-16 BYTES (without byte-order mark) to UTF-8. An unpaired surrogate becomes
// U+FFFD; an odd last byte is ignored.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

// The largest length not above MAX at which TEXT can be cut without splitting a well-formed
// UTF-8 sequence; bytes that are not part of one count as characters of their own.
std::size_t Utf8CutLength(std::string_view text, std::size_t max);

} // namespace nv::platform::profile
