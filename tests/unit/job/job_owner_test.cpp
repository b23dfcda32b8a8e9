// GatherJobOwner with the side libraries built for the tests, and the owner piece it leads to.
#include "TestCommandLibraries.h"
#include "job/JobHeader.h"
#include "job/JobOwnerQuery.h"
#include "platform/account/Account.h"
#include "support/StringTableModule.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace nv {
namespace {

std::string processUser() {
    char name[1024] = {};
    DWORD size = sizeof name;
    return platform::GetUserNameA(name, &size) ? std::string(name) : std::string("PDFError");
}

const test::StringTableModule kLibrary(test::kTemplatesC);

JobOwnerQuery Query(const std::string& folder, std::optional<CString> jobInfoLibrary) {
    return {std::string(NV_DRIVERS_DIR) + folder + "/", "Q1", "/caps/nvq.cap", "report.pdf",
            std::move(jobInfoLibrary)};
}

CString OwnerPiece(const JobOwner& owner, BOOL hasJobInfo) {
    const PrinterCapability capability{.m_bHasJobInfoDll = hasJobInfo};
    const JobOptions job;
    CString piece;
    EXPECT_TRUE(ComposeJobOwner({capability, job, owner, &kLibrary, "report.pdf"}, piece));
    return piece;
}

TEST(JobOwner, JobInfoLibraryGivesTheCommand) {
    struct Case {
        const char* library;
        std::optional<std::string> expectedCommand; // none: the library cannot be loaded
    };
    const std::vector<Case> cases = {
        {"nvji_normal.dll", "@PJL COMMENT Q1|/caps/nvq.cap|report.pdf|1|1,32,1|null\r\n"},
        {"nvji_fillfails.dll", ""},
        {"nvji_zerosize.dll", ""},
        {"nvji_absurdsize.dll", ""},
        {"nvji_nonul.dll", std::string(16, 'A')},
        {"nvji_long.dll", std::string(2000, 'L')},
        {"nvji_noexport.dll", ""},
        {"nvji_absent.dll", std::nullopt},
        // An exit sequence in the command is a failed fill; a library writing past what it
        // asked for is read back only as far as it asked.
        {"nvji_escape.dll", ""},
        {"nvji_overrun.dll", std::string(16, 'B')},
        // Names map alike on every edition: no extension gets the library's, a trailing dot
        // stands for none.
        {"nvji_normal", "@PJL COMMENT Q1|/caps/nvq.cap|report.pdf|1|1,32,1|null\r\n"},
        {"nvji_normal.", std::nullopt},
        // Only a plain file name in the driver folder names a library.
        {"", std::nullopt},
        {"../jobinfo/nvji_normal.dll", std::nullopt},
        {NV_DRIVERS_DIR "jobinfo/nvji_normal.dll", std::nullopt},
    };
    const JobOwner before{TRUE, 9, "earlier", "held from before"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.library);
        const std::optional<JobOwner> owner = GatherJobOwner(Query("jobinfo", c.library), before);
        ASSERT_EQ(owner.has_value(), c.expectedCommand.has_value());
        if (!owner) {
            continue;
        }
        EXPECT_EQ(owner->m_strJobInfoCmd, *c.expectedCommand);
        // The job-log data is left alone.
        EXPECT_EQ(owner->m_strUserName, "earlier");
        EXPECT_EQ(owner->m_nAccountId, 9);
        EXPECT_EQ(OwnerPiece(*owner, TRUE), c.expectedCommand->substr(0, 1023));
    }
}

TEST(JobOwner, JobLogLibraryGivesAccountAndUser) {
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
        {"joblog_overrun", TRUE, 8, std::string(260, 'y'), ""},
        {"joblog_absent", FALSE, 0, user, "OW(" + user + ",report.pdf)\r\n"},
    };
    const JobOwner before{FALSE, 555, "earlier", "untouched"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        const std::optional<JobOwner> owner = GatherJobOwner(Query(c.folder, std::nullopt), before);
        ASSERT_TRUE(owner);
        EXPECT_EQ(owner->m_bHasJobLog, c.expectedHasJobLog);
        EXPECT_EQ(owner->m_nAccountId, c.expectedAccount);
        EXPECT_EQ(owner->m_strUserName, c.expectedUser);
        EXPECT_EQ(owner->m_strJobInfoCmd, "untouched");
        if (!c.expectedPiece.empty()) {
            EXPECT_EQ(OwnerPiece(*owner, FALSE), c.expectedPiece);
        }
    }
}

} // namespace
} // namespace nv
