// Complete job headers of every printer type, composed from values with the test command
// libraries and compared byte for byte, and the ways a header is refused rather than sent
// broken.
#include "TestCommandLibraries.h"
#include "job/JobHeader.h"
#include "platform/text/PrinterText.h"
#include "resources/CommandIds.h"
#include "support/StringTableModule.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nv {
namespace {

const char* const kCapabilities = "[Capability]\nD0=M0\nD1=M1\nD2=M2\nD3=M3\nD4=M4\n"
                                  "[M0]\nTrayCom=T0\n[M1]\nTrayCom=TA\n[M2]\nTrayCom=TB\n"
                                  "[M3]\nTrayCom=TA\n[M4]\nTrayCom=TA\n"
                                  "[T0]\nAutoTray=0\nTray1=2\nTray2=65536\nTray3=65539\n"
                                  "[TA]\nTray1=2\nTray2=0\nMulti Purpose Tray=MP\n"
                                  "[TB]\nTray1=TRAY1\nAutoTray=Auto\nManual Feed=MF\n"
                                  "Tray3=ThisValueIsLongerThan31Characters!!\n";

struct Options {
    UINT type = 0;
    std::string driver = ""; // "D<type>" when empty
    std::string tray = "AutoTray";
    UINT copies = 1;
    BOOL collate = FALSE;
    BOOL duplex = FALSE;
    int binding = 0;
    BOOL canFit = FALSE;
    BOOL fit = FALSE;
    BOOL range = FALSE;
    BOOL openEnd = FALSE;
    int start = 3;
    int end = 7;
    BOOL canPassword = FALSE;
    BOOL usePassword = FALSE;
    std::string password = "";
    std::string fileName = "report.pdf";
    std::string user = "alice";
    BOOL jobLog = FALSE;
    int account = 0;
    BOOL jobInfo = FALSE;
    std::string jobInfoCmd = "";
};

class JobHeaderTest : public ::testing::Test {
protected:
    test::TempDir dir_;
    std::string capFile_ = dir_.Write("nvtest.cap", kCapabilities);
    PrinterCapability capability_;
    JobOptions job_;
    JobOwner owner_;
    std::unique_ptr<platform::ResourceModule> library_;
    std::string fileName_;

    JobHeaderInputs Prepare(const Options& o) {
        capability_ = {.m_strDriverName =
                           o.driver.empty() ? "D" + std::to_string(o.type) : o.driver,
                       .m_strCapFile = capFile_,
                       .m_nPrinterType = static_cast<PrinterDialect>(o.type),
                       .m_bCanFitToPage = o.canFit,
                       .m_bOpenEndRange = o.openEnd,
                       .m_bCanPassword = o.canPassword,
                       .m_bHasJobInfoDll = o.jobInfo};
        job_ = {.m_strTrayKey = o.tray,
                .m_nCopies = o.copies,
                .m_bCollate = o.collate,
                .m_bDuplex = o.duplex,
                .m_nBinding = o.binding,
                .m_bFitToPage = o.fit,
                .m_bPageRange = o.range,
                .m_nStartPage = o.start,
                .m_nEndPage = o.end,
                .m_bUsePassword = o.usePassword,
                .m_strPassword = o.password};
        owner_ = {o.jobLog, o.account, o.user, o.jobInfoCmd};
        library_ = std::make_unique<test::StringTableModule>(test::TemplatesForType(o.type));
        return Inputs(o);
    }
    JobHeaderInputs Inputs(const Options& o) const {
        return {capability_, job_, owner_, library_.get(), o.fileName};
    }

    std::string Compose(const Options& o) {
        const std::optional<CString> header = ComposeJobHeader(Prepare(o));
        EXPECT_TRUE(header);
        return header.value_or("");
    }
};

struct HeaderCase {
    const char* name;
    Options options;
    std::string expected;
};

TEST_F(JobHeaderTest, EveryPrinterTypeComposesItsHeader) {
    const std::vector<HeaderCase> cases = {
        {"type 0, defaults",
         {},
         "J(report.pdf)\r\nOW(alice,report.pdf)\r\nDX(OFF)\r\nF18\r\nF19\r\nCP(false,1)\r\n"
         "PS\r\nTS(false)\r\nF20\r\n"},
        {"type 0, every option, range replaces the job start",
         {.tray = "Tray3",
          .copies = 3,
          .collate = TRUE,
          .duplex = TRUE,
          .binding = 1,
          .canFit = TRUE,
          .fit = TRUE,
          .range = TRUE,
          .canPassword = TRUE,
          .usePassword = TRUE,
          .password = "a(b)c\\d",
          .user = "bob",
          .jobLog = TRUE,
          .account = 1234},
         "PR(report.pdf,3,7)\r\nOA(1234,bob,report.pdf)\r\nDX(ON)\r\nBD(SHORTEDGE)\r\nF18\r\n"
         "F19\r\nCP(true,3)\r\nPS\r\nTN(3)\r\nTS(true)\r\nFT(0)\r\nPW(a\\(b\\)c\\\\d)\r\nF20\r\n"},
        {"type 0, open end goes after fit to page",
         {.tray = "Tray2",
          .duplex = TRUE,
          .canFit = TRUE,
          .range = TRUE,
          .openEnd = TRUE,
          .end = -1,
          .usePassword = TRUE,
          .password = "9"},
         "J(report.pdf)\r\nOW(alice,report.pdf)\r\nDX(ON)\r\nBD(LONGEDGE)\r\nF18\r\nF19\r\n"
         "CP(false,1)\r\nPS\r\nTS(true)\r\nFT(7)\r\nPO(3,-1)\r\nF20\r\n"},
        {"type 0, job-info command as it stands",
         {.tray = "Tray1",
          .jobLog = TRUE,
          .account = 5,
          .jobInfo = TRUE,
          .jobInfoCmd = "@PJL SET JOBATTR=\"@JOAU=carol\"\r\n"},
         "J(report.pdf)\r\n@PJL SET JOBATTR=\"@JOAU=carol\"\r\nDX(OFF)\r\nF18\r\nF19\r\n"
         "CP(false,1)\r\nPS\r\nTN(2)\r\nTS(false)\r\nF20\r\n"},
        {"type 0, names that would break their line",
         {.fileName = "a\"b\r\n\x1B%-12345X.pdf", .user = "ev\"e\t"},
         "J(a'b???%-12345X.pdf)\r\nOW(ev'e?,a'b???%-12345X.pdf)\r\nDX(OFF)\r\nF18\r\nF19\r\n"
         "CP(false,1)\r\nPS\r\nTS(false)\r\nF20\r\n"},
        {"type 1, no range and no owner",
         {.type = 1,
          .tray = "Tray1",
          .copies = 2,
          .duplex = TRUE,
          .canFit = TRUE,
          .fit = TRUE,
          .range = TRUE,
          .jobLog = TRUE,
          .account = 77},
         "J(report.pdf)\r\nTV(2)\r\nCP(2)\r\nCO(1)\r\nDX(ON)\r\nBD(LONGEDGE)\r\nFT(0)\r\nF18\r\n"},
        {"type 1, absent tray reads No, collated, password",
         {.type = 1,
          .copies = 5,
          .collate = TRUE,
          .canPassword = TRUE,
          .usePassword = TRUE,
          .password = "1234"},
         "J(report.pdf)\r\nTV(No)\r\nCP(1)\r\nCO(5)\r\nDX(OFF)\r\nPW(1234)\r\nF18\r\n"},
        {"type 1, tray value 0 sends no paper source",
         {.type = 1, .tray = "Tray2"},
         "J(report.pdf)\r\nCP(1)\r\nCO(1)\r\nDX(OFF)\r\nF18\r\n"},
        {"type 2, every option, no password",
         {.type = 2,
          .tray = "Tray1",
          .copies = 2,
          .collate = TRUE,
          .duplex = TRUE,
          .fit = TRUE,
          .range = TRUE,
          .start = 2,
          .end = 5,
          .canPassword = TRUE,
          .usePassword = TRUE,
          .password = "1"},
         "J(report.pdf)\r\nOW(alice,report.pdf)\r\nF18\r\nTV(TRAY1)\r\n<tray1>\r\n\r\n"
         "CP(2)\r\n(2)\r\n\r\nCO\r\n\r\n\r\nDX(LongEdge)\r\n<longedge>\r\n\r\nFT\r\n\r\n\r\n"
         "PR(2,5)\r\n"},
        {"type 2, automatic tray",
         {.type = 2, .binding = 1},
         "J(report.pdf)\r\nOW(alice,report.pdf)\r\nF18\r\nTV(Auto)\r\n<auto>\r\n\r\n"
         "CP(1)\r\n(1)\r\n\r\n"},
        {"type 2, manual feed, short edge",
         {.type = 2, .tray = "Manual Feed", .duplex = TRUE, .binding = 1},
         "J(report.pdf)\r\nOW(alice,report.pdf)\r\nF18\r\nTV(MF)\r\n<manualfeed>\r\n\r\n"
         "CP(1)\r\n(1)\r\n\r\nDX(ShortEdge)\r\n<shortedge>\r\n\r\n"},
        {"type 2, value read to 31 characters",
         {.type = 2, .tray = "Tray3"},
         "J(report.pdf)\r\nOW(alice,report.pdf)\r\nF18\r\n"
         "TV(ThisValueIsLongerThan31Characte)\r\n<thisvalueislongerthan31characte>\r\n\r\n"
         "CP(1)\r\n(1)\r\n\r\n"},
        {"type 3, manual feed, named range, password",
         {.type = 3,
          .tray = "Manual Feed",
          .copies = 5,
          .collate = TRUE,
          .canFit = TRUE,
          .fit = TRUE,
          .range = TRUE,
          .canPassword = TRUE,
          .usePassword = TRUE,
          .password = "p)"},
         "PN(report.pdf,3,7)\r\nTS(ON)\r\nCP(1)\r\nCO(5)\r\nDX(OFF)\r\nFS(ON)\r\nPW(p\\))"
         "\r\nF18\r\n"},
        {"type 3, tray value 0",
         {.type = 3, .tray = "Tray2", .canFit = TRUE},
         "J(report.pdf)\r\nCP(1)\r\nCO(1)\r\nDX(OFF)\r\nFS(OFF)\r\nF18\r\n"},
        {"type 4, open end sends no range",
         {.type = 4,
          .tray = "Tray1",
          .copies = 5,
          .duplex = TRUE,
          .binding = 1,
          .range = TRUE,
          .openEnd = TRUE,
          .end = -1},
         "J(report.pdf)\r\nTS(OFF)\r\nSRC(2)\r\nCP(5)\r\nCO(1)\r\nDX(ON)\r\nBD(SHORTEDGE)"
         "\r\nF18\r\n"},
        {"type 4, model unknown to the file",
         {.type = 4, .driver = "D9", .tray = "Tray1"},
         "J(report.pdf)\r\nTS(OFF)\r\nSRC(No)\r\nCP(1)\r\nCO(1)\r\nDX(OFF)\r\nF18\r\n"},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Compose(c.options), c.expected);
    }
}

TEST_F(JobHeaderTest, MissingTemplatesLeaveBareLineEnds) {
    Prepare({});
    library_ = std::make_unique<test::StringTableModule>();
    EXPECT_EQ(ComposeJobHeader(Inputs({})), "\r\n\r\n\r\n");
}

TEST_F(JobHeaderTest, LongNamesAreShortenedAtCharacterBoundaries) {
    std::string name;
    for (int i = 0; i < 400; ++i) {
        name += "\xC3\xA9"; // é
    }
    // The job-start line has 319 bytes: "J(" and ")\r\n" leave 314 for the name: 157 é in
    // UTF-8, 314 where the printer's code page gives é one byte.
    const std::string sent = platform::text::ToPrinterText("\xC3\xA9");
    std::string expectedName;
    for (std::size_t i = 0; i < 314 / sent.size(); ++i) {
        expectedName += sent;
    }
    const std::string header = Compose({.type = 1, .fileName = name + ".pdf"});
    EXPECT_EQ(header.substr(0, 2 + expectedName.size() + 3), "J(" + expectedName + ")\r\n");

    // Both names of the owner line give way until it fits its 259 bytes.
    const Options longNames = {.fileName = std::string(300, 'd') + ".pdf",
                               .user = std::string(300, 'u')};
    CString owner;
    ASSERT_TRUE(ComposeJobOwner(Prepare(longNames), owner));
    EXPECT_EQ(owner.size(), 259u);
    EXPECT_EQ(owner.substr(0, 3), "OW(");
    EXPECT_EQ(owner.substr(owner.size() - 3), ")\r\n");
    EXPECT_NE(owner.find(std::string(120, 'u') + "," + std::string(120, 'd')), std::string::npos);
}

TEST_F(JobHeaderTest, HeaderThatCannotBeComposedIsNeverSent) {
    struct Case {
        const char* name;
        Options options;
        UINT templateId = 0; // replaced by TEMPLATETEXT, 0 for none
        std::string templateText = std::string(300, 'X') + "%s%s%s%s%s";
    };
    const std::vector<Case> cases = {
        {"password with a line break",
         {.canPassword = TRUE, .usePassword = TRUE, .password = "12\r\n@PJL"}},
        {"password with a double quote",
         {.type = 3, .canPassword = TRUE, .usePassword = TRUE, .password = "1\"2"}},
        {"escaped password too long for its line",
         {.canPassword = TRUE, .usePassword = TRUE, .password = std::string(128, ')')}},
        {"fixed line longer than its buffer", {}, 18},
        {"duplex template longer than its buffer", {.type = 2, .duplex = TRUE}, 8},
        {"piece too long even without names",
         {.user = "someone", .jobLog = TRUE, .account = 1234567890},
         13,
         std::string(250, 'X') + "%d%s%s%s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Prepare(c.options);
        if (c.templateId != 0) {
            auto templates = test::TemplatesForType(c.options.type);
            templates[c.templateId] = c.templateText;
            library_ = std::make_unique<test::StringTableModule>(templates);
        }
        EXPECT_FALSE(ComposeJobHeader(Inputs(c.options)));
    }
}

// The command libraries the program ships, with every option on: each header is PJL a printer
// accepts line by line, whatever the names hold.
TEST_F(JobHeaderTest, ShippedCommandLibrariesGiveWellFormedLines) {
    const char* programDir = std::getenv("NV_PROGRAM_DIR");
    if (programDir == nullptr) {
        GTEST_SKIP() << "NV_PROGRAM_DIR is not set";
    }
    for (UINT type = 0; type <= 4; ++type) {
        SCOPED_TRACE(type);
        auto library = platform::ResourceModule::Load(std::string(programDir) + "/" +
                                                      cmd::CommandLibraryName(type));
        if (!library) {
            GTEST_SKIP() << "command libraries not built";
        }
        const Options everything = {.type = type,
                                    .tray = "Tray1",
                                    .copies = 3,
                                    .collate = TRUE,
                                    .duplex = TRUE,
                                    .canFit = TRUE,
                                    .fit = TRUE,
                                    .range = TRUE,
                                    .canPassword = TRUE,
                                    .usePassword = TRUE,
                                    .password = "12(3)",
                                    .fileName = "Quarterly \"final\"\r\n\x1B%-12345X report.pdf",
                                    .user = std::string(300, 'u')};
        Prepare(everything);
        library_ = std::move(library);
        const std::string header = ComposeJobHeader(Inputs(everything)).value_or("");
        ASSERT_GE(header.size(), 2u);
        EXPECT_EQ(header.substr(header.size() - 2), "\r\n");
        std::size_t start = 0;
        std::string last;
        while (start < header.size()) {
            const std::size_t end = header.find("\r\n", start);
            ASSERT_NE(end, std::string::npos);
            last = header.substr(start, end - start);
            EXPECT_EQ(last.rfind("@PJL ", 0), 0u) << last;
            EXPECT_LE(last.size() + 2, 255u) << last;
            EXPECT_EQ(last.find_first_of(std::string("\r\n\x1B\0", 4)), std::string::npos);
            start = end + 2;
        }
        if (type != 2) {
            EXPECT_EQ(last, "@PJL ENTER LANGUAGE=PDF");
        }
    }
}

} // namespace
} // namespace nv
