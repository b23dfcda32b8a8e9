// GetJobOwnerInfo with the side libraries built for the tests, and the owner piece it leads to.
#include "TestCommandLibraries.h"
#include "app/PdfSendApp.h"
#include "dialog/PdfSendDlg.h"
#include "platform/account/Account.h"
#include "platform/ui/memory/ScriptedMessageBox.h"
#include "support/StringTableModule.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace nv {
namespace {

std::string processUser() {
    char name[1024] = {};
    DWORD size = sizeof name;
    return platform::GetUserNameA(name, &size) ? std::string(name) : std::string("PDFError");
}

class JobOwnerTest : public ::testing::Test {
protected:
    platform::ScriptedMessageBox messages_;
    test::StringTableModule texts_;
    CPdfSendApp app_;
    CPdfSendDlg dialog_{&app_, DialogServices{&messages_, &texts_}};

    void SetUp() override {
        app_.m_strFileName = "report.pdf";
        dialog_.m_strPrinterName = "Q1";
        dialog_.m_strCapFile = "/caps/nvq.cap";
        dialog_.m_hCmdLib = std::make_unique<test::StringTableModule>(test::kTemplatesC);
    }
    CString OwnerPiece() {
        CString piece;
        EXPECT_EQ(dialog_.MakeJobOwnerCmd(piece), 1);
        return piece;
    }
};

TEST_F(JobOwnerTest, JobInfoLibraryGivesTheCommand) {
    struct Case {
        const char* library;
        BOOL expectedHasJobInfo;
        std::string expectedCommand;
    };
    const std::vector<Case> cases = {
        {"nvji_normal.dll", TRUE, "@PJL COMMENT Q1|/caps/nvq.cap|report.pdf|1|1,32,1|null\r\n"},
        {"nvji_fillfails.dll", TRUE, ""},
        {"nvji_zerosize.dll", TRUE, ""},
        {"nvji_absurdsize.dll", TRUE, ""},
        {"nvji_nonul.dll", TRUE, std::string(16, 'A')},
        {"nvji_long.dll", TRUE, std::string(2000, 'L')},
        {"nvji_noexport.dll", TRUE, ""},
        {"nvji_absent.dll", FALSE, "held from before"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.library);
        dialog_.m_strDriverDir = NV_DRIVERS_DIR "jobinfo/";
        dialog_.m_bHasJobInfoDll = TRUE;
        dialog_.m_strJobInfoDll = c.library;
        dialog_.m_strJobInfoCmd = "held from before";
        dialog_.m_strUserName = "earlier";
        EXPECT_EQ(dialog_.GetJobOwnerInfo(), 1);
        EXPECT_EQ(dialog_.m_bHasJobInfoDll, c.expectedHasJobInfo);
        EXPECT_EQ(dialog_.m_strJobInfoCmd, c.expectedCommand);
        EXPECT_EQ(dialog_.m_pfnGetJobInfoCmd, nullptr);
        EXPECT_EQ(dialog_.m_strUserName, "earlier"); // the job-log data is left alone
        EXPECT_EQ(OwnerPiece(), c.expectedHasJobInfo ? c.expectedCommand.substr(0, 1023)
                                                     : std::string("OW(earlier,report.pdf)\r\n"));
    }
}

TEST_F(JobOwnerTest, JobLogLibraryGivesAccountAndUser) {
    const std::string user = processUser();
    struct Case {
        const char* folder;
        BOOL expectedHasJobLog;
        int expectedAccount;
        std::string expectedUser;
        std::string expectedPiece;
    };
    const std::vector<Case> cases = {
        {"joblog_account", TRUE, 1234, "bob", "OA(1234,bob,report.pdf)\r\n"},
        {"joblog_fails", TRUE, 0, user, "OW(" + user + ",report.pdf)\r\n"},
        {"joblog_accountzero", TRUE, 0, "dave", "OW(dave,report.pdf)\r\n"},
        {"joblog_nonul", TRUE, 7, std::string(260, 'x'), ""},
        {"joblog_noexport", TRUE, 0, user, "OW(" + user + ",report.pdf)\r\n"},
        {"joblog_absent", FALSE, 0, user, "OW(" + user + ",report.pdf)\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        dialog_.m_strDriverDir = std::string(NV_DRIVERS_DIR) + c.folder + "/";
        dialog_.m_bHasJobInfoDll = FALSE;
        dialog_.m_strJobInfoCmd = "untouched";
        dialog_.m_nAccountId = 555;
        EXPECT_EQ(dialog_.GetJobOwnerInfo(), 1);
        EXPECT_EQ(dialog_.m_bHasJobLog, c.expectedHasJobLog);
        EXPECT_EQ(dialog_.m_nAccountId, c.expectedAccount);
        EXPECT_EQ(dialog_.m_strUserName, c.expectedUser);
        EXPECT_EQ(dialog_.m_strJobInfoCmd, "untouched");
        EXPECT_EQ(dialog_.m_pfnReadJobAccountID, nullptr);
        if (!c.expectedPiece.empty()) {
            EXPECT_EQ(OwnerPiece(), c.expectedPiece);
        }
    }
}

} // namespace
} // namespace nv
