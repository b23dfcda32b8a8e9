// The UEL sequence is found wherever the pieces of a stream split it, and nothing else is.
#include "job/UelScanner.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace nv {
namespace {

// Feeds STREAM in pieces that end at SPLITS (ascending offsets); true when any piece reports
// the sequence.
bool FoundInPieces(const std::string& stream, const std::vector<std::size_t>& splits) {
    UelScanner scanner;
    std::size_t from = 0;
    std::vector<std::size_t> ends = splits;
    ends.push_back(stream.size());
    for (const std::size_t end : ends) {
        if (scanner.Contains(stream.data() + from, end - from)) {
            return true;
        }
        from = end;
    }
    return false;
}

TEST(UelScanner, FindsTheSequenceAcrossEverySplitIntoTwoAndThreePieces) {
    const std::string stream = "%PDF-1.4 abc" + std::string(kUel) + "def";
    const std::size_t n = stream.size();
    for (std::size_t a = 0; a <= n; ++a) {
        EXPECT_TRUE(FoundInPieces(stream, {a})) << a;
        for (std::size_t b = a; b <= n; ++b) {
            EXPECT_TRUE(FoundInPieces(stream, {a, b})) << a << "," << b;
        }
    }
}

TEST(UelScanner, FindsTheSequenceFedOneByteAtATime) {
    const std::string stream = "x\x1B\x1B" + std::string(kUel);
    std::vector<std::size_t> splits;
    for (std::size_t i = 1; i < stream.size(); ++i) {
        splits.push_back(i);
    }
    EXPECT_TRUE(FoundInPieces(stream, splits));
}

TEST(UelScanner, LeavesNearMissesAlone) {
    const std::vector<std::string> streams = {
        std::string("\x1B%-12345Y"),    std::string("\x1B%-1234X5"),
        std::string("%-12345X"),        std::string("\x1B\x1B\x1B\x1B\x1B%-1234"),
        std::string(kUel.substr(0, 8)), // cut off at the end of the stream
        std::string(1000, '\x1B'),
    };
    for (const std::string& stream : streams) {
        for (std::size_t a = 0; a <= stream.size(); ++a) {
            EXPECT_FALSE(FoundInPieces(stream, {a})) << a;
        }
    }
}

} // namespace
} // namespace nv
