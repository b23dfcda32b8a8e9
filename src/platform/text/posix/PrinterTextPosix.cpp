// On Linux the family's code page is UTF-8, the program's own: texts leave as they are.
#include "platform/text/PrinterText.h"
#include "platform/text/Utf8.h"

namespace nv::platform::text {

std::string ToPrinterText(std::string_view utf8) {
    return std::string(utf8);
}

std::string FromPrinterText(std::string_view text) {
    return std::string(text);
}

std::size_t PrinterTextPrefixLength(std::string_view text, std::size_t max) {
    return Utf8PrefixLength(text, max);
}

} // namespace nv::platform::text
