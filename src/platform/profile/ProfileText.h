// The profile reader working on the bytes of a file that is already read: the part of the
// profile services that is the same on every platform and that the fuzz target drives directly.
#pragma once

#include "platform/wintypes.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace nv::platform::profile {

// The bytes of one profile file, or nothing when the file is missing or unreadable. A UTF-8
// byte-order mark is skipped; a UTF-16 file with a byte-order mark (either order) is read as
// its UTF-8 conversion; any other file is taken byte for byte.
using FileBytes = std::optional<std::string_view>;

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

} // namespace nv::platform::profile
