#include "platform/text/Utf8.h"

namespace nv::platform::text {

std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) {
    const auto at = [&](std::size_t k) -> unsigned {
        return pos + k < text.size() ? static_cast<unsigned char>(text[pos + k]) : 0x100u;
    };
    const auto in = [](unsigned v, unsigned lo, unsigned hi) { return v >= lo && v <= hi; };
    const unsigned lead = at(0);
    if (lead < 0x80) {
        return 1;
    }
    // The ranges of the second byte rule out overlong forms, surrogates and values above
    // U+10FFFF.
    if (in(lead, 0xC2, 0xDF)) {
        return in(at(1), 0x80, 0xBF) ? 2 : 0;
    }
    if (in(lead, 0xE0, 0xEF)) {
        const unsigned lo = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned hi = lead == 0xED ? 0x9F : 0xBF;
        return in(at(1), lo, hi) && in(at(2), 0x80, 0xBF) ? 3 : 0;
    }
    if (in(lead, 0xF0, 0xF4)) {
        const unsigned lo = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned hi = lead == 0xF4 ? 0x8F : 0xBF;
        return in(at(1), lo, hi) && in(at(2), 0x80, 0xBF) && in(at(3), 0x80, 0xBF) ? 4 : 0;
    }
    return 0;
}

void AppendUtf8(std::string& out, char32_t cp) {
    const auto byte = [&out](char32_t v) { out.push_back(static_cast<char>(v)); };
    if (cp < 0x80) {
        byte(cp);
    } else if (cp < 0x800) {
        byte(0xC0 | (cp >> 6));
        byte(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        byte(0xE0 | (cp >> 12));
        byte(0x80 | ((cp >> 6) & 0x3F));
        byte(0x80 | (cp & 0x3F));
    } else {
        byte(0xF0 | (cp >> 18));
        byte(0x80 | ((cp >> 12) & 0x3F));
        byte(0x80 | ((cp >> 6) & 0x3F));
        byte(0x80 | (cp & 0x3F));
    }
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    const std::size_t units = bytes.size() / 2;
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto hi = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 0 : 1)]);
        const auto lo = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 1 : 0)]);
        return static_cast<char32_t>(hi << 8 | lo);
    };
    const auto in = [](char32_t u, char32_t lo, char32_t hi) { return u >= lo && u <= hi; };
    std::string out;
    out.reserve(units * 3 / 2);
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t u = unit(i);
        if (in(u, 0xD800, 0xDBFF) && i + 1 < units && in(unit(i + 1), 0xDC00, 0xDFFF)) {
            AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
        } else {
            AppendUtf8(out, in(u, 0xD800, 0xDFFF) ? char32_t{0xFFFD} : u);
        }
    }
    return out;
}

std::size_t Utf8PrefixLength(std::string_view text, std::size_t max) {
    if (text.size() <= max) {
        return text.size();
    }
    // Only a sequence starting at most three bytes before MAX can reach across it, and only
    // continuation bytes lie between its lead byte and MAX.
    for (std::size_t back = 1; back <= 3 && back <= max; ++back) {
        const std::size_t pos = max - back;
        if (Utf8SequenceLength(text, pos) > back) {
            return pos;
        }
        if ((static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80) {
            break;
        }
    }
    return max;
}

} // namespace nv::platform::text
