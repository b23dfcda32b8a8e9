// Text toward the printer family: the drivers, side libraries and printers of the family read
// their texts (document and user names, job tickets, the job-info command) in the system's ANSI
// code page. The program keeps its texts in UTF-8 and converts exactly where they leave for the
// family or come back from it. On Linux the family's code page is UTF-8, so nothing changes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nv::platform::text {

// UTF8 in the family's code page. A character the code page lacks becomes '?'; bytes that are
// not well-formed UTF-8 are replaced first. Every byte below 0x40 of the result stands for the
// same ASCII character of UTF8 (or is a replacement '?'), so rules about quotes, separators and
// line ends hold after the conversion as they held before it.
std::string ToPrinterText(std::string_view utf8);

// TEXT, read from the family in its code page, as UTF-8.
std::string FromPrinterText(std::string_view text);

// The largest length not above MAX at which TEXT, in the family's code page, can be cut without
// splitting a character; bytes that are not part of one count as characters of their own.
std::size_t PrinterTextPrefixLength(std::string_view text, std::size_t max);

} // namespace nv::platform::text
