// The C interface of the printer family's side libraries in the driver directory: the job-info
// library (export GetJobInfoCmd) and the job-log library (export ReadJobAccountID). The records
// keep the layout of the 64-bit platform, so libraries built for it work unchanged.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nv {

// What the job-info library is told about the job. Texts are NUL-terminated and owned by the
// caller for the length of the call.
struct JobInfoRequest {
    const char* pPrinterName;
    const char* pCapFile;
    const char* pDocName;
    void* pReserved1;
    void* pReserved2;
    void* pReserved3;
    std::int32_t nValue1; // always 1
    std::int32_t nValue2; // always 32
    std::int32_t nValue3; // always 1
};

// The longest user name a job-log library may store, NUL included. The record is handed to the
// library zero-filled; only these bytes are ever read back.
inline constexpr std::size_t kJobAccountNameSize = 260;

// What the job-log library fills in: the account number and the user name.
struct JobAccountRecord {
    std::int32_t nAccountId;
    char szUserName[kJobAccountNameSize];
};

static_assert(sizeof(void*) != 8 || offsetof(JobInfoRequest, nValue1) == 48,
              "JobInfoRequest must keep the 64-bit layout");
static_assert(sizeof(void*) != 8 || offsetof(JobInfoRequest, nValue3) == 56,
              "JobInfoRequest must keep the 64-bit layout");
static_assert(offsetof(JobAccountRecord, szUserName) == 4, "the user name follows the account");

extern "C" {
// GetJobInfoCmd(1, request, buffer, count): with a null BUFFER stores the buffer size it needs
// in *COUNT; with a buffer fills it with the command as NUL-terminated text. 0 means success.
using PfnGetJobInfoCmd = int (*)(int nMode, JobInfoRequest* pRequest, char* pBuffer,
                                 std::uint32_t* pCount);
// ReadJobAccountID(printer, 0, record): fills RECORD; non-zero means success.
using PfnReadJobAccountID = int (*)(const char* pPrinterName, int nReserved,
                                    JobAccountRecord* pRecord);
}

} // namespace nv
