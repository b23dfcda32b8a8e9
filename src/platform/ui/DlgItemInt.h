// Reading and writing numbers in control texts, as GetDlgItemInt and SetDlgItemInt do.
#pragma once

#include "platform/wintypes.h"

#include <string>
#include <string_view>

namespace nv::platform {

// How many bytes of a control's text GetDlgItemInt looks at: it reads the text into a
// 30-byte buffer, so anything after the 29th byte is never seen.
inline constexpr std::size_t kDlgItemIntChars = 29;

// Reads TEXT as GetDlgItemInt reads a control's text. Only the first 29 bytes count. Leading
// white space is skipped, one sign is accepted (a minus sign also when BSIGNED is FALSE: the
// magnitude is then negated modulo 2^32), then decimal digits; whatever follows the digits is
// ignored. Fails (returns 0, *TRANSLATED = FALSE) for a text without digits, for a value
// outside the 32-bit range of the mode, and for the two values the platform cannot tell from
// an overflow: -2147483648 when signed and 4294967295 when unsigned. On success
// *TRANSLATED = TRUE. TRANSLATED may be null.
UINT ParseDlgItemInt(std::string_view text, BOOL* translated, BOOL bSigned);

// The text SetDlgItemInt writes for VALUE: decimal, with a minus sign when BSIGNED and the
// value is negative as a signed number, and without thousands separators.
std::string FormatDlgItemInt(UINT value, BOOL bSigned);

} // namespace nv::platform
