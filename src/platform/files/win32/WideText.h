// Conversions between the program's UTF-8 texts and the UTF-16 of the wide Win32 calls, for the
// few places that must not depend on the active code page (file names given by the user, the
// program's own path, the command line).
#pragma once

#include <optional>
#include <string>

namespace nv::platform {

// TEXT (UTF-8) as UTF-16; none when TEXT is not well-formed UTF-8 or holds a NUL.
std::optional<std::wstring> WideFromUtf8(const std::string& text);

// TEXT (UTF-16) as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromWide(const std::wstring& text);

} // namespace nv::platform
