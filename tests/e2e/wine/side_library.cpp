// A side library of the printer family for the Wine tests, built three ways:
//   NV_JOB_LOG   a job-log library: ReadJobAccountID gives account 4711 and a user name in the
//                system's code page (CP 932 bytes of a Japanese name);
//   NV_JOB_INFO  a job-info library: GetJobInfoCmd gives a ticket line naming the document as
//                the library was told it;
//   NV_PLANTED   a job-log library planted where no library may come from: loading it leaves a
//                marker file beside it.
#include "job/JobOwnerAbi.h"

#include <cstdio>
#include <cstring>
#include <windows.h>

using nv::JobAccountRecord;
using nv::JobInfoRequest;

#if defined(NV_JOB_LOG) || defined(NV_PLANTED)
extern "C" __declspec(dllexport) int ReadJobAccountID(const char* /*printer*/, int /*reserved*/,
                                                      JobAccountRecord* record) {
#ifdef NV_PLANTED
    record->nAccountId = 666;
    std::strcpy(record->szUserName, "planted");
#else
    record->nAccountId = 4711;
    std::strcpy(record->szUserName, "\x8E\x52\x93\x63"); // a family name in CP 932
#endif
    return 1;
}
#endif

#ifdef NV_JOB_INFO
extern "C" __declspec(dllexport) int GetJobInfoCmd(int /*mode*/, JobInfoRequest* request,
                                                   char* buffer, std::uint32_t* count) {
    char command[512];
    std::snprintf(command, sizeof command, "@PJL SET JOBATTR=\"@JOAU=info;@JONM=%s\"\r\n",
                  request->pDocName);
    if (buffer == nullptr) {
        *count = static_cast<std::uint32_t>(std::strlen(command) + 1);
        return 0;
    }
    if (*count < std::strlen(command) + 1) {
        return 1;
    }
    std::strcpy(buffer, command);
    return 0;
}
#endif

#ifdef NV_PLANTED
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH + 16];
        DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
        while (length > 0 && path[length - 1] != '\\') {
            --length;
        }
        std::strcpy(path + length, "planted-ran");
        std::FILE* marker = std::fopen(path, "w");
        if (marker != nullptr) {
            std::fclose(marker);
        }
    }
    return TRUE;
}
#endif
