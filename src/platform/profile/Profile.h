// INI ("profile") file reading with the exact semantics of the Windows profile reader, so that
// capability files written for the printer family read the same on every platform.
#pragma once

#include "platform/wintypes.h"

namespace nv::platform {

// Copies the value of KEY in SECTION of FILE (or DEFAULTVALUE when the file, section or key is
// missing) into BUFFER of SIZE bytes, NUL-terminated and cut to SIZE-1 bytes. Returns the
// number of bytes copied without the NUL. The file is read afresh on every call.
// A cut never splits a UTF-8 character (it backs off to the character's start). A null KEY
// lists the keys of SECTION and a null SECTION lists the sections, as names each followed by
// a NUL with one more NUL at the end; a list that does not fit is cut to SIZE-2 bytes and
// closed with two NULs. On POSIX systems a FILE name without '/' is relative to the current
// directory, and files over 16 MiB read as missing.
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName);

// Reads KEY as an integer (decimal, or 0x/0o/0b prefixed, wrapping modulo 2^32); DEFAULTVALUE
// when the value is missing or blank.
UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                           const char* fileName);

} // namespace nv::platform
