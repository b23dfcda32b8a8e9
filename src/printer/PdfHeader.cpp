#include "printer/PdfHeader.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace nv {

namespace {

constexpr char kCtrlZ = 0x1A;

bool isAtoiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atoi on PIECE, clamped to the int range as the platform's runtime does on overflow.
int atoiClamped(std::string_view piece) {
    std::size_t i = 0;
    while (i < piece.size() && isAtoiSpace(piece[i])) {
        ++i;
    }
    bool negative = false;
    if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) {
        negative = piece[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT_MIN) : INT_MAX;
    for (; i < piece.size() && piece[i] >= '0' && piece[i] <= '9'; ++i) {
        value = value * 10 + (piece[i] - '0');
        if (value > limit) {
            value = limit;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace

std::optional<std::string_view> FindPdfHeaderLine(std::string_view data) {
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] != '%') {
            continue;
        }
        std::string_view line = data.substr(i);
        line = line.substr(0, line.find_first_of(std::string_view("\r\n\0", 3)));
        if (line.find(kPdfMarker) != std::string_view::npos) {
            return line;
        }
    }
    return std::nullopt;
}

std::string TranslateTextMode(std::string_view raw, std::size_t maxChars) {
    std::string text;
    for (std::size_t i = 0; i < raw.size() && text.size() < maxChars; ++i) {
        const char c = raw[i];
        if (c == kCtrlZ) {
            break;
        }
        if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') {
            continue; // the LF that follows is delivered on its own
        }
        text.push_back(c);
    }
    return text;
}

PdfVersion ParsePdfVersion(std::string_view text) {
    PdfVersion version;
    bool first = true;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = text.find_first_not_of('.', pos);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(text.find('.', start), text.size());
        const int number = atoiClamped(text.substr(start, end - start));
        if (first) {
            version.major = number;
            first = false;
        } else {
            version.minor = number;
        }
        pos = end;
    }
    return version;
}

std::string_view VersionTextOfHeaderLine(std::string_view line) {
    const std::size_t marker = line.find(kPdfMarker);
    return marker == std::string_view::npos ? std::string_view()
                                            : line.substr(marker + kPdfMarker.size());
}

} // namespace nv
