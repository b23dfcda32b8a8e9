/* A side library of the printer family for the Wine tests, built three ways:
 *   NV_JOB_LOG   a job-log library: ReadJobAccountID gives account 4711 and a user name in the
 *                system's code page (CP 932 bytes of a Japanese name);
 *   NV_JOB_INFO  a job-info library: GetJobInfoCmd gives a ticket line naming the document as
 *                the library was told it;
 *   NV_PLANTED   a job-log library planted where no library may come from: loading it leaves a
 *                marker file beside it. */
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

typedef struct {
    const char* pPrinterName;
    const char* pCapFile;
    const char* pDocName;
    void* pReserved1;
    void* pReserved2;
    void* pReserved3;
    int32_t nValue1;
    int32_t nValue2;
    int32_t nValue3;
} JobInfoRequest;

typedef struct {
    int32_t nAccountId;
    char szUserName[260];
} JobAccountRecord;

#if defined(NV_JOB_LOG) || defined(NV_PLANTED)
__declspec(dllexport) int ReadJobAccountID(const char* printer, int reserved,
                                           JobAccountRecord* record) {
    (void)printer;
    (void)reserved;
#ifdef NV_PLANTED
    record->nAccountId = 666;
    strcpy(record->szUserName, "planted");
#else
    record->nAccountId = 4711;
    strcpy(record->szUserName, "\x8E\x52\x93\x63"); /* a family name in CP 932 */
#endif
    return 1;
}
#endif

#ifdef NV_JOB_INFO
__declspec(dllexport) int GetJobInfoCmd(int mode, JobInfoRequest* request, char* buffer,
                                        uint32_t* count) {
    char command[512];
    (void)mode;
    snprintf(command, sizeof command, "@PJL SET JOBATTR=\"@JOAU=info;@JONM=%s\"\r\n",
             request->pDocName);
    if (buffer == NULL) {
        *count = (uint32_t)strlen(command) + 1;
        return 0;
    }
    if (*count < strlen(command) + 1) {
        return 1;
    }
    strcpy(buffer, command);
    return 0;
}
#endif

#ifdef NV_PLANTED
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH + 16];
        DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
        while (length > 0 && path[length - 1] != '\\') {
            --length;
        }
        strcpy(path + length, "planted-ran");
        FILE* marker = fopen(path, "w");
        if (marker != NULL) {
            fclose(marker);
        }
    }
    return TRUE;
}
#endif
