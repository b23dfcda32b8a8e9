// The one place that converts between the program's UTF-8 texts and the UTF-16 of the wide
// Win32 calls, and between UTF-16 and the system's ANSI code page (the code page of the text the
// printer family's drivers, libraries and printers read).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nv::platform {

// TEXT (UTF-8) as UTF-16; none when TEXT is not well-formed UTF-8 or holds a NUL.
std::optional<std::wstring> WideFromUtf8(std::string_view text);

// DATA (UTF-8, NULs allowed: a registry value's terminators) as UTF-16; none when DATA is not
// well-formed UTF-8.
std::optional<std::wstring> WideDataFromUtf8(std::string_view data);

// TEXT as UTF-16 where a text must never be refused (one to show, one bound for the printer):
// bytes that are not well-formed UTF-8 become U+FFFD; NULs stay.
std::wstring WideFromUtf8Replacing(std::string_view text);

// TEXT (UTF-16) as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view text);

// TEXT (UTF-16) in the system's ANSI code page, as an A call would pass it on, except that a
// character the code page lacks always becomes the code page's default character ('?') and is
// never mapped to a look-alike (a full-width quote would otherwise become a real one).
std::string AnsiFromWide(std::wstring_view text);

// TEXT in the system's ANSI code page as UTF-16; bytes the code page does not define become
// what the system makes of them.
std::wstring WideFromAnsi(std::string_view text);

} // namespace nv::platform
