#include "platform/ui/WindowText.h"

#include "platform/text/Utf8.h"

#include <cstdint>
#include <cstring>

namespace nv::platform {
namespace {

// Length of the UTF-8 character that starts at TEXT[POS], or 1 for a byte that does not start
// a well-formed sequence (it then stands for itself).
std::size_t sequenceLength(std::string_view text, std::size_t pos) {
    const std::size_t length = text::Utf8SequenceLength(text, pos);
    return length == 0 ? 1 : length;
}

// Decodes the character at TEXT[POS] (advancing POS). A stray byte decodes to a value above
// the Unicode range, so it never equals a real character.
char32_t decode(std::string_view text, std::size_t& pos) {
    const std::size_t length = sequenceLength(text, pos);
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (length == 1) {
        ++pos;
        return lead < 0x80 ? char32_t{lead} : char32_t{0x110000u + lead};
    }
    char32_t cp = lead & (0xFF >> (length + 1));
    for (std::size_t i = 1; i < length; ++i) {
        cp = (cp << 6) | (static_cast<unsigned char>(text[pos + i]) & 0x3F);
    }
    pos += length;
    return cp;
}

// Lower-case form of CP for the scripts a printer or paper-source name is likely to use.
char32_t fold(char32_t cp) {
    if ((cp >= U'A' && cp <= U'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) ||
        (cp >= 0x391 && cp <= 0x3A9 && cp != 0x3A2) || (cp >= 0x410 && cp <= 0x42F) ||
        (cp >= 0xFF21 && cp <= 0xFF3A)) {
        return cp + 32;
    }
    if (cp >= 0x400 && cp <= 0x40F) {
        return cp + 80;
    }
    // Latin Extended-A pairs upper and lower case side by side; which of the two comes first
    // changes twice within the block.
    const bool evenUpper = (cp >= 0x100 && cp <= 0x12F) || (cp >= 0x132 && cp <= 0x137) ||
                           (cp >= 0x14A && cp <= 0x177);
    const bool oddUpper = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
    if ((evenUpper && cp % 2 == 0) || (oddUpper && cp % 2 == 1)) {
        return cp + 1;
    }
    if (cp == 0x178) {
        return 0xFF;
    }
    return cp;
}

// Compares the folded characters of TEXT with those of PATTERN; true when PATTERN is used up
// (and, for WHOLE, TEXT too).
bool matchFolded(std::string_view text, std::string_view pattern, bool whole) {
    std::size_t t = 0;
    std::size_t p = 0;
    while (p < pattern.size()) {
        if (t >= text.size() || fold(decode(text, t)) != fold(decode(pattern, p))) {
            return false;
        }
    }
    return !whole || t == text.size();
}

} // namespace

std::string WindowTextOf(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

std::string WindowTextOf(const char* text) {
    return text ? std::string(text) : std::string();
}

std::size_t Utf8CharCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += sequenceLength(text, pos)) {
        ++count;
    }
    return count;
}

std::string_view Utf8FirstChars(std::string_view text, std::size_t maxChars) {
    std::size_t pos = 0;
    for (std::size_t n = 0; n < maxChars && pos < text.size(); ++n) {
        pos += sequenceLength(text, pos);
    }
    return text.substr(0, pos);
}

int CopyWindowText(std::string_view text, char* buffer, int bufferMax) {
    if (buffer == nullptr || bufferMax <= 0) {
        return 0;
    }
    const std::size_t bytes = text::Utf8PrefixLength(text, static_cast<std::size_t>(bufferMax) - 1);
    if (bytes > 0) {
        std::memcpy(buffer, text.data(), bytes);
    }
    buffer[bytes] = '\0';
    return static_cast<int>(bytes);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return matchFolded(a, b, true);
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return matchFolded(text, prefix, false);
}

} // namespace nv::platform
