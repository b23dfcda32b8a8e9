// The PDF header line: finding it in the first bytes of a file, the text-mode view of those
// bytes, and the version number it carries.
#pragma once

#include <compare>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace nv {

// How much of the start of a file is examined for the header line.
inline constexpr std::size_t kPdfHeaderWindow = 1126;
inline constexpr std::string_view kPdfMarker = "%PDF-";

// Scans DATA position by position; at each '%' takes the line from there up to the first CR
// or LF (or the end of DATA), read as text up to a NUL byte, and returns the first such line
// that contains "%PDF-". A later '%' inside a rejected line starts a candidate of its own, so
// a header line is found exactly when DATA holds "%PDF-" anywhere. The result views DATA.
std::optional<std::string_view> FindPdfHeaderLine(std::string_view data);

// The characters a text-mode read of RAW delivers, at most MAXCHARS of them: CR LF arrives as
// LF, a lone CR stays, and a 0x1A byte ends the data. Each delivered character uses at most two
// bytes of RAW, so 2*MAXCHARS+1 bytes of the file are always enough.
std::string TranslateTextMode(std::string_view raw, std::size_t maxChars);

// A PDF version: major and minor number, ordered major first.
struct PdfVersion {
    int major = 0;
    int minor = 0;
    auto operator<=>(const PdfVersion&) const = default;
};

// Reads a version text: the pieces between '.' separators (runs of points count as one,
// points at either end give no piece) are read like atoi (leading white space, a sign, digits
// up to the first other character, clamped to the int range). The first piece is the major,
// the last of the others the minor; a number no piece gives is 0.
PdfVersion ParsePdfVersion(std::string_view text);

// The version text of a header line: what follows its "%PDF-" marker.
std::string_view VersionTextOfHeaderLine(std::string_view line);

} // namespace nv
