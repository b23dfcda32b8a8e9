// Rules for text of outside origin that goes into a PJL line: file names, user names and the
// PDF password may hold any byte on Linux, and none of them may break the line or the quoted
// string it stands in. The rules apply to the text as the printer receives it, in the printer
// family's code page (platform/text/PrinterText.h), so that no converted byte escapes them.
#pragma once

#include "platform/text/PrinterText.h"
#include "platform/wintypes.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace nv {

// Cuts of PJL text never split a character of the printer family's code page.
using platform::text::PrinterTextPrefixLength;

// TEXT with every byte that could end or corrupt a PJL line or quoted string replaced: a
// control byte (below 0x20, and 0x7F; ESC, CR and LF among them) becomes '?', a double quote
// an apostrophe. Every other byte, UTF-8 included, stays, so ordinary names are unchanged.
CString PjlSafeText(std::string_view text);

// TEXT as the value of an attribute of a job ticket (the JOBATTR lines of the user and document
// names, the paper source's keyword): PjlSafeText, and each ';' (between attributes) and '='
// (between an attribute's name and its value) becomes '_'. Whatever a dialect separates its
// attributes with, a ';' or a blank, no value can then add or change an attribute, since an
// attribute needs its '='; blanks stay, so ordinary names read as they are.
CString PjlAttributeValue(std::string_view text);

// The program's TEXT (UTF-8) in the printer family's code page, then PjlSafeText or
// PjlAttributeValue: the form every name of outside origin takes in the job.
CString PjlNameText(std::string_view text);
CString PjlNameAttribute(std::string_view text);

// The longest PJL line every printer of the family reads, CR LF included.
inline constexpr std::size_t kMaxPjlLineBytes = 255;

// True when every line of TEXT (lines end at LF; the last may have none) holds at most
// kMaxPjlLineBytes bytes with its line end.
bool LinesWithinPjlLimit(std::string_view text);

// True when PASSWORD holds no byte that PjlSafeText would have to replace: such a password is
// refused rather than altered, since an altered password would not open the document.
bool IsPjlSafePassword(std::string_view password);

// The program's PASSWORD (UTF-8) in the printer family's code page, as the password command
// carries it before escaping; none when it cannot be sent unchanged: the code page lacks one of
// its characters, or it is not IsPjlSafePassword there.
std::optional<CString> PjlPassword(std::string_view password);

// True when TEXT holds no control byte (below 0x20) other than CR and LF: text that goes into
// the header as it is (composed lines, a job-info command) must not carry an escape that ends
// the job early or resets the printer.
bool HoldsOnlyPjlLines(std::string_view text);

// The password as the password command carries it: every '\' doubled, then '(' and ')' each
// preceded by a '\'.
CString EscapePassword(std::string_view password);

} // namespace nv
