// The profile reader working on the bytes of a file that is already read: the part of the
// profile services that is the same on every platform and that the fuzz target drives directly.
#pragma once

#include "platform/wintypes.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace nv::platform::profile {

// The bytes of one profile file, or nothing when the file is missing or unreadable.
using FileBytes = std::optional<std::string_view>;

// Turns raw file bytes into the text the reader parses: a UTF-8 byte-order mark is dropped, a
// UTF-16 file with a byte-order mark (either byte order) is converted to UTF-8 (an unpaired
// surrogate becomes U+FFFD, an odd last byte is ignored), any other file is returned as it is.
std::string DecodeProfileBytes(std::string_view raw);

// GetPrivateProfileStringA on FILE (see Profile.h): SECTION null lists the section names, KEY
// null lists the keys of SECTION, as names each followed by a NUL and an extra NUL at the end.
// Never writes more than SIZE bytes into BUFFER and writes nothing when SIZE is 0.
DWORD ReadProfileString(const FileBytes& file, const char* section, const char* key,
                        const char* defaultValue, char* buffer, DWORD size);

// GetPrivateProfileIntA on FILE (see Profile.h).
UINT ReadProfileInt(const FileBytes& file, const char* section, const char* key, int defaultValue);

// Parses TEXT as a 32-bit unsigned number the way the profile integer reader does: leading
// control characters and spaces skipped, one optional sign, a lowercase 0x, 0o or 0b prefix,
// digits up to the first one invalid in the base, result wrapped modulo 2^32 (negated when a
// minus sign was given). Never fails: text without digits gives 0.
UINT ParseProfileInteger(std::string_view text);

// The largest length not above MAX at which TEXT can be cut without splitting a well-formed
// UTF-8 sequence; bytes that are not part of one count as characters of their own.
std::size_t Utf8CutLength(std::string_view text, std::size_t max);

} // namespace nv::platform::profile
