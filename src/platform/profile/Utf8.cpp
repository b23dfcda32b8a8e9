#include "platform/profile/Utf8.h"

namespace nv::platform::profile {

namespace {

void AppendUtf8(std::string& out, char32_t cp) {
    auto byte = [&out](char32_t v) { out.push_back(static_cast<char>(v)); };
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

// The length of the well-formed UTF-8 sequence starting at POS, or 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) {
    auto at = [&](std::size_t k) -> unsigned {
        return pos + k < text.size() ? static_cast<unsigned char>(text[pos + k]) : 0x100u;
    };
    auto in = [](unsigned v, unsigned lo, unsigned hi) { return v >= lo && v <= hi; };
    unsigned lead = at(0);
    if (lead < 0x80) {
        return 1;
    }
    if (in(lead, 0xC2, 0xDF)) {
        return in(at(1), 0x80, 0xBF) ? 2 : 0;
    }
    if (in(lead, 0xE0, 0xEF)) {
        unsigned lo = lead == 0xE0 ? 0xA0 : 0x80;
        unsigned hi = lead == 0xED ? 0x9F : 0xBF;
        return in(at(1), lo, hi) && in(at(2), 0x80, 0xBF) ? 3 : 0;
    }
    if (in(lead, 0xF0, 0xF4)) {
        unsigned lo = lead == 0xF0 ? 0x90 : 0x80;
        unsigned hi = lead == 0xF4 ? 0x8F : 0xBF;
        return in(at(1), lo, hi) && in(at(2), 0x80, 0xBF) && in(at(3), 0x80, 0xBF) ? 4 : 0;
    }
    return 0;
}

} // namespace

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::size_t units = bytes.size() / 2;
    auto unit = [&](std::size_t i) -> char32_t {
        auto hi = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 0 : 1)]);
        auto lo = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 1 : 0)]);
        return static_cast<char32_t>(hi << 8 | lo);
    };
    std::string out;
    out.reserve(units * 3 / 2);
    for (std::size_t i = 0; i < units; ++i) {
        char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 &&
            unit(i + 1) <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

std::size_t Utf8CutLength(std::string_view text, std::size_t max) {
    if (text.size() <= max) {
        return text.size();
    }
    for (std::size_t back = 1; back <= 3 && back <= max; ++back) {
        std::size_t pos = max - back;
        if (Utf8SequenceLength(text, pos) > back) {
            return pos;
        }
        if ((static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80) {
            break;
        }
    }
    return max;
}

} // namespace nv::platform::profile
