// Base types shared by the logic and the platform layers. The program's data model was laid out
// with fixed-width integer and flag types; these names keep that width explicit on every
// platform (BOOL and UINT are 32 bits, texts are UTF-8 byte strings).
#pragma once

#include <cstdint>
#include <string>

namespace nv {

using BOOL = std::int32_t;
using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

// A counted byte string in the ANSI code page (UTF-8 on Linux); may hold any byte but NUL
// where it stands for a C string.
using CString = std::string;

} // namespace nv
