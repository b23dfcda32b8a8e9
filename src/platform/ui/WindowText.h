// Text rules shared by every control of the dialog surface: window texts are C strings in the
// ANSI code page (UTF-8 here), copied out into bounded caller buffers, and compared without
// regard to case where the platform's controls do so.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nv::platform {

// A window text as the platform stores it: the bytes of TEXT up to its first NUL. A null
// pointer stands for the empty text.
std::string WindowTextOf(std::string_view text);
std::string WindowTextOf(const char* text);

// Copies TEXT into BUFFER of BUFFERMAX bytes as the platform's text getters do: at most
// BUFFERMAX-1 bytes, cut so that no UTF-8 character is split, then a NUL. Returns the bytes
// copied before the NUL. BUFFERMAX <= 0 or a null BUFFER copies nothing and returns 0.
int CopyWindowText(std::string_view text, char* buffer, int bufferMax);

// The number of characters of TEXT (UTF-8 sequences; each stray byte counts as one).
std::size_t Utf8CharCount(std::string_view text);

// The first MAXCHARS characters of TEXT.
std::string_view Utf8FirstChars(std::string_view text, std::size_t maxChars);

// Case-insensitive comparisons of UTF-8 texts, folding the cases of Latin, Greek, Cyrillic and
// full-width Latin letters. Bytes that do not form UTF-8 compare as themselves.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

} // namespace nv::platform
