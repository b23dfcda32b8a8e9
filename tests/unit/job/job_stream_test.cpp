// The stages of a job stream: the UEL sequence is found wherever the pieces of a stream split
// it, and nothing else is; a progress view hears of every job that reached its document and
// of its end, however it ended.
#include "job/DocumentJobWriter.h"
#include "job/JobStream.h"
#include "job/UelScanner.h"
#include "support/ProgressHook.h"
#include "support/RecordingJobWriter.h"

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

TEST(JobProgress, EveryJobThatReachedItsDocumentEndsOnce) {
    using Seen = std::vector<std::pair<std::uint64_t, std::uint64_t>>;
    struct Case {
        const char* name;
        std::vector<std::size_t> pieces;
        bool failSecond; // the sink refuses the second piece
        Seen seen;
    };
    const std::vector<Case> cases = {
        {"whole", {10, 20}, false, {{10, 30}, {30, 30}}},
        {"refused halfway", {10, 20}, true, {{10, 30}}},
        {"no document bytes", {}, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Seen seen;
        test::ProgressHook view(
            [&seen](std::uint64_t sent, std::uint64_t total) { seen.emplace_back(sent, total); });
        test::RecordingJobWriter sink;
        {
            JobProgressScope scope(&view);
            ProgressCounter counter(sink, scope, 30);
            for (std::size_t i = 0; i < c.pieces.size(); ++i) {
                sink.fail = c.failSecond && i == 1;
                const std::string piece(c.pieces[i], 'x');
                counter.Write(piece.data(), piece.size());
            }
            EXPECT_EQ(view.finished, 0);
        }
        EXPECT_EQ(seen, c.seen);
        EXPECT_EQ(view.started, c.seen.empty() ? 0 : 1);
        EXPECT_EQ(view.finished, view.started);
    }
}

// A spooler document that takes at most TAKE bytes a write, as a busy spooler may.
class ShortWriteDocument final : public platform::IPrintDocument {
public:
    explicit ShortWriteDocument(DWORD take) : take_(take) {}
    DWORD JobId() const override { return 1; }
    BOOL WritePrinter(const void* data, DWORD size, DWORD* written) override {
        *written = size < take_ ? size : take_;
        bytes.append(static_cast<const char*>(data), *written);
        return TRUE;
    }
    BOOL EndDocPrinter() override { return TRUE; }
    BOOL AbortDocPrinter() override { return TRUE; }
    std::string bytes;

private:
    DWORD take_;
};

TEST(DocumentJobWriter, CompletesShortWritesAndFailsWhenTheSpoolerTakesNothing) {
    std::string data(2500, 'x');
    data.back() = 'y';
    ShortWriteDocument busy(1000);
    EXPECT_EQ(DocumentJobWriter(busy).Write(data.data(), data.size()), 2500);
    EXPECT_EQ(busy.bytes, data);
    ShortWriteDocument stuck(0);
    EXPECT_EQ(DocumentJobWriter(stuck).Write(data.data(), data.size()), -1);
}

TEST(UelGuard, RefusesThePieceThatCompletesTheSequenceAndWritesNoneOfIt) {
    test::RecordingJobWriter sink;
    UelGuard guard(sink);
    EXPECT_EQ(guard.Write("ab\x1B%-12", 7), 7);
    EXPECT_FALSE(guard.Found());
    EXPECT_EQ(guard.Write("345Xcd", 6), -1);
    EXPECT_TRUE(guard.Found());
    EXPECT_EQ(sink.bytes, "ab\x1B%-12");
}

} // namespace
} // namespace nv
