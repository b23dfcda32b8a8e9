// A job-info library for tests. NV_VARIANT picks its behaviour: 1 answers with a command that
// echoes the request, 2 fails the fill call, 3 asks for no buffer, 4 for an absurd one, 5
// fills its buffer without a terminating NUL, 6 answers with a command of 2000 characters,
// 7 exports nothing under the expected name, 8 answers with a command that carries the PJL exit
// sequence, 9 asks for 16 bytes and writes 4 KiB.
#include "job/JobOwnerAbi.h"

#include <cstdio>
#include <cstring>
#include <string>

#if NV_VARIANT != 7
namespace {

std::string command(const nv::JobInfoRequest* request, int mode) {
    if (NV_VARIANT == 6) {
        return std::string(2000, 'L');
    }
    if (NV_VARIANT == 8) {
        return "@PJL COMMENT x\r\n\x1b%-12345X@PJL INITIALIZE\r\n";
    }
    char text[1024];
    std::snprintf(text, sizeof text, "@PJL COMMENT %s|%s|%s|%d|%d,%d,%d|%s\r\n",
                  request->pPrinterName, request->pCapFile, request->pDocName, mode,
                  request->nValue1, request->nValue2, request->nValue3,
                  request->pReserved1 == nullptr && request->pReserved2 == nullptr &&
                          request->pReserved3 == nullptr
                      ? "null"
                      : "set");
    return text;
}

} // namespace
#endif

#if NV_VARIANT == 7
extern "C" __attribute__((visibility("default"))) int GetJobInfo(int) {
    return 0;
}
#else
extern "C" __attribute__((visibility("default"))) int
GetJobInfoCmd(int mode, nv::JobInfoRequest* request, char* buffer, std::uint32_t* count) {
    const std::string text = command(request, mode);
    if (buffer == nullptr) {
        switch (NV_VARIANT) {
        case 3:
            *count = 0;
            break;
        case 4:
            *count = 0x7FFFFFFF;
            break;
        case 5:
        case 9:
            *count = 16;
            break;
        default:
            *count = static_cast<std::uint32_t>(text.size() + 1);
        }
        return 0;
    }
    if (NV_VARIANT == 2) {
        return 1;
    }
    if (NV_VARIANT == 5) {
        std::memset(buffer, 'A', *count);
        return 0;
    }
    if (NV_VARIANT == 9) {
        std::memset(buffer, 'B', 4096);
        return 0;
    }
    if (*count < text.size() + 1) {
        return 1;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return 0;
}
#endif
