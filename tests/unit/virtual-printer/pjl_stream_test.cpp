// The virtual printer's PJL stream checks: how a job stream is split into header, document and
// trailer, and which faults are found. Every case is also fed one byte at a time, so UELs and
// lines split across reads are found the same way.
#include "JobReport.h"
#include "PjlStream.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace nv::vprinter {
namespace {

const std::string kUel = "\x1b%-12345X";

struct Parsed {
    PjlReport report;
    std::string document;
};

Parsed Parse(const std::string& stream, std::size_t piece) {
    Parsed parsed;
    PjlStreamParser parser([&](const std::uint8_t* data, std::size_t size) {
        parsed.document.append(reinterpret_cast<const char*>(data), size);
    });
    for (std::size_t at = 0; at < stream.size(); at += piece) {
        parser.Feed(reinterpret_cast<const std::uint8_t*>(stream.data()) + at,
                    std::min(piece, stream.size() - at));
    }
    parser.Finish();
    parsed.report = parser.Report();
    return parsed;
}

std::string Job(const std::string& header, const std::string& document,
                const std::string& trailer) {
    return kUel + header + document + kUel + trailer + kUel;
}

struct PjlCase {
    const char* name;
    std::string stream;
    std::string document;
    std::vector<std::string> faults; // exact list, in order
    std::string language = "PDF";
};

void PrintTo(const PjlCase& c, std::ostream* os) {
    *os << c.name;
}

class PjlStreamTest : public ::testing::TestWithParam<PjlCase> {};

TEST_P(PjlStreamTest, SplitsAndChecks) {
    const PjlCase& c = GetParam();
    for (std::size_t piece : {c.stream.size() + 1, std::size_t(1), std::size_t(7)}) {
        const Parsed parsed = Parse(c.stream, piece);
        EXPECT_EQ(parsed.document, c.document) << "pieces of " << piece;
        EXPECT_EQ(parsed.report.documentBytes, c.document.size());
        EXPECT_EQ(parsed.report.faults, c.faults) << "pieces of " << piece;
        EXPECT_EQ(parsed.report.language, c.language);
        EXPECT_EQ(parsed.report.totalBytes, c.stream.size());
    }
}

const std::string kHeader = "@PJL\r\n@PJL JOB NAME=\"a.pdf\"\r\n@PJL ENTER LANGUAGE=PDF\r\n";
const std::string kTrailer = "@PJL\r\n@PJL EOJ NAME=\"a.pdf\"\r\n";

INSTANTIATE_TEST_SUITE_P(
    Streams, PjlStreamTest,
    ::testing::Values(
        PjlCase{"CleanJob",
                Job(kHeader, "%PDF-1.4\nbody\n%%EOF\n", kTrailer),
                "%PDF-1.4\nbody\n%%EOF\n",
                {}},
        PjlCase{"EscapesThatAreNoUelStayInTheDocument",
                Job(kHeader, "%PDF-\x1b%-1234\x1b\x1b%-12345Y", kTrailer),
                "%PDF-\x1b%-1234\x1b\x1b%-12345Y",
                {}},
        PjlCase{"EmptyDocument", Job(kHeader, "", kTrailer), "", {}},
        PjlCase{"AutomaticSwitchOnPdf",
                Job("@PJL\r\n@PJL SET QTY=2\r\n", "%PDF-1.7 x", kTrailer),
                "%PDF-1.7 x",
                {},
                ""},
        PjlCase{"LowerCaseMissingCrAndBlankLine",
                Job("@pjl\n\r\n@PJL ENTER LANGUAGE = pdf\r\n", "%PDF-", kTrailer),
                "%PDF-",
                {"header line 1: @PJL not in upper case", "header line 1: LF without CR",
                 "header line 2: blank line"},
                "PDF"},
        PjlCase{
            "ForbiddenCommandsAndQuotes",
            Job("@PJL\r\n@PJL DEFAULT COPIES=9\r\n@PJL INITIALIZE\r\n@PJL RDYMSG DISPLAY=\"hi\"\r\n"
                "@PJL FSDELETE NAME=\"0:\\x\"\r\n@PJL JOB NAME=\"a\r\n@PJL COMMENT \"a\tb\x01\"\r\n"
                "@PJLX\r\n@PJL ENTER LANGUAGE=PDF\r\n",
                "%PDF-", kTrailer),
            "%PDF-",
            {"header line 2: forbidden command DEFAULT",
             "header line 3: forbidden command INITIALIZE",
             "header line 4: forbidden command RDYMSG", "header line 5: forbidden command FSDELETE",
             "header line 6: unbalanced quotes", "header line 7: control byte inside quotes",
             "header line 8: no blank after @PJL"}},
        PjlCase{"OverLongLine",
                Job("@PJL\r\n@PJL COMMENT " + std::string(242, 'x') + "\r\n@PJL COMMENT " +
                        std::string(243, 'x') + "\r\n@PJL ENTER LANGUAGE=PDF\r\n",
                    "%PDF-", kTrailer),
                "%PDF-",
                {"header line 3: line longer than 255 bytes"}},
        PjlCase{"MissingFinalUel",
                kUel + kHeader + "%PDF-1.4",
                "%PDF-1.4",
                {"stream does not end with a UEL"}},
        PjlCase{"TrailerCutShort",
                kUel + kHeader + "%PDF-" + kUel + "@PJL EOJ",
                "%PDF-",
                {"trailer line 1: line not ended by LF", "stream does not end with a UEL"}},
        PjlCase{"NoInitialUel",
                "%PDF-1.4 raw",
                "%PDF-1.4 raw",
                {"stream does not begin with a UEL", "stream does not end with a UEL"},
                ""},
        PjlCase{"RepeatedJobAfterTheFinalUel",
                Job(kHeader, "%PDF-", kTrailer) + kHeader + "%PDF-" + kUel,
                "%PDF-",
                {"trailer line 6: data after the document is not PJL"}},
        PjlCase{"EmptyStream", "", "", {"empty stream", "stream does not end with a UEL"}, ""}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(PjlStream, KeepsTheHeaderAndTrailerLines) {
    const Parsed parsed = Parse(Job(kHeader, "%PDF-", kTrailer), 3);
    EXPECT_EQ(parsed.report.header, (std::vector<std::string>{"@PJL", "@PJL JOB NAME=\"a.pdf\"",
                                                              "@PJL ENTER LANGUAGE=PDF"}));
    EXPECT_EQ(parsed.report.trailer, (std::vector<std::string>{"@PJL", "@PJL EOJ NAME=\"a.pdf\""}));
    EXPECT_TRUE(parsed.report.documentIsPdf);
    EXPECT_TRUE(parsed.report.endsWithUel);
}

TEST(PjlStream, BoundsWhatItKeeps) {
    std::string header = "@PJL\r\n";
    for (std::size_t i = 0; i < PjlStreamParser::kMaxStoredLines + 10; ++i) {
        header += "@pjl\n";
    }
    header += "@PJL COMMENT " + std::string(100000, 'y') + "\r\n@PJL ENTER LANGUAGE=PDF\r\n";
    const Parsed parsed = Parse(Job(header, "%PDF-", kTrailer), 4096);
    EXPECT_EQ(parsed.report.header.size(), PjlStreamParser::kMaxStoredLines);
    EXPECT_EQ(parsed.report.faults.size(), PjlStreamParser::kMaxFaults);
    EXPECT_GT(parsed.report.faultCount, PjlStreamParser::kMaxFaults);
    EXPECT_EQ(parsed.document, "%PDF-");
}

TEST(JobReport, KeepsItsMembersInOrderAndEveryByteReadable) {
    PjlReport report;
    report.header = {"@PJL", std::string("a\"b\\c\r\n\x01 \xE3\x83\xAC \xFF\xC3", 15)};
    report.language = "PDF";
    report.documentBytes = 5;
    report.documentIsPdf = true;
    report.totalBytes = 4294967296ULL + 7; // past 32 bits
    report.faultCount = 2;
    report.faults = {"cut \xE3\x83", "\xC0\x80 overlong"};
    const std::string text = JobReportJson(3, report, std::string(64, 'e'), "job-3.pdf");

    const auto json = nlohmann::ordered_json::parse(text); // throws when not valid JSON
    std::vector<std::string> members;
    for (const auto& item : json.items()) {
        members.push_back(item.key());
    }
    const std::vector<std::string> expected = {
        "job",           "total_bytes",    "header",          "language",
        "document_file", "document_bytes", "document_sha256", "document_is_pdf",
        "trailer",       "ends_with_uel",  "fault_count",     "faults"};
    EXPECT_EQ(members, expected);
    EXPECT_EQ(json["job"], 3);
    EXPECT_EQ(json["total_bytes"].get<std::uint64_t>(), 4294967303ULL);
    EXPECT_EQ(json["trailer"], nlohmann::ordered_json::array());
    EXPECT_EQ(json["document_is_pdf"], true);
    EXPECT_EQ(json["ends_with_uel"], false);
    // Valid UTF-8 stays as it is; any other byte is read as Latin-1.
    EXPECT_EQ(json["header"][1], "a\"b\\c\r\n\x01 \xE3\x83\xAC \xC3\xBF\xC3\x83");
    EXPECT_EQ(json["faults"][0], "cut \xC3\xA3\xC2\x83");
    EXPECT_EQ(json["faults"][1], "\xC3\x80\xC2\x80 overlong");
    // The layout the benchmark scripts and end-to-end tests read line by line.
    EXPECT_NE(text.find("\n  \"fault_count\": 2,\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"header\": [\n    \"@PJL\",\n"), std::string::npos) << text;
    EXPECT_EQ(text.back(), '\n');
}

} // namespace
} // namespace nv::vprinter
