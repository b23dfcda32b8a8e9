// On Windows the family's code page is the system's ANSI code page.
#include "platform/text/PrinterText.h"
#include "platform/text/Utf8.h"
#include "platform/text/win32/WideText.h"

#include <windows.h>

namespace nv::platform::text {

std::string ToPrinterText(std::string_view utf8) {
    return AnsiFromWide(WideFromUtf8Replacing(utf8));
}

std::string FromPrinterText(std::string_view text) {
    return Utf8FromWide(WideFromAnsi(text));
}

std::size_t PrinterTextPrefixLength(std::string_view text, std::size_t max) {
    if (max >= text.size()) {
        return text.size();
    }
    if (GetACP() == CP_UTF8) {
        return Utf8PrefixLength(text, max);
    }
    // A double-byte code page: a lead byte takes the byte after it along, unless the text ends
    // there.
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t width =
            IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(text[at])) && at + 1 < text.size() ? 2 : 1;
        if (at + width > max) {
            break;
        }
        at += width;
    }
    return at;
}

} // namespace nv::platform::text
