// Text from outside (printer, driver, port and file names, the user's own arguments) on its
// way to the terminal: control bytes written as they are would move the cursor, retitle the
// window or reprogram the terminal, so they are shown escaped.
#pragma once

#include <string>
#include <string_view>

namespace nv::cli {

// TEXT with every control byte (0x00 to 0x1F, 0x7F), every C1 control (U+0080 to U+009F) and
// every byte that is not part of a valid UTF-8 character written as "\xHH" per byte. With
// KEEPLINEBREAKS, line feeds stay as they are (message texts hold several lines).
std::string TerminalSafe(std::string_view text, bool keepLineBreaks = false);

} // namespace nv::cli
