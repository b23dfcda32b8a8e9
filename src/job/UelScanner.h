// Watches a byte stream handed over in pieces for the Universal Exit Language sequence
// (ESC "%-12345X"), which hands a printer back to PJL wherever it appears: a document that
// carries it could end its own job and run commands of its own.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace nv {

// The UEL sequence: the escape character followed by "%-12345X".
inline constexpr std::string_view kUel = "\x1B%-12345X";

class UelScanner {
public:
    // True when the stream so far, DATA appended, contains a UEL sequence that is not wholly
    // inside what was passed before: one inside DATA or one that begins in the previous pieces
    // and ends in DATA. Looks at each byte of DATA once (a memchr for the escape character).
    bool Contains(const char* data, std::size_t size);

private:
    // The last bytes of the stream so far, up to one less than the sequence's length.
    std::array<char, kUel.size() - 1> tail_{};
    std::size_t tailSize_ = 0;
};

} // namespace nv
