// A job-log library for tests. NV_VARIANT picks its behaviour: 1 gives account 1234 and user
// bob for printer Q1, 2 fails (after scribbling into the record), 3 gives account 0 and user
// dave, 4 fills the whole name field without a NUL, 5 exports nothing under the expected name,
// 6 writes a user name of 4 KiB.
#include "job/JobOwnerAbi.h"

#include <cstring>

#if NV_VARIANT == 5
extern "C" __attribute__((visibility("default"))) int ReadJobAccount(void) {
    return 1;
}
#else
extern "C" __attribute__((visibility("default"))) int
ReadJobAccountID(const char* printer, int reserved, nv::JobAccountRecord* record) {
    switch (NV_VARIANT) {
    case 1:
        if (std::strcmp(printer, "Q1") != 0 || reserved != 0) {
            return 0;
        }
        record->nAccountId = 1234;
        std::strcpy(record->szUserName, "bob");
        return 1;
    case 2:
        record->nAccountId = 99;
        std::strcpy(record->szUserName, "mallory");
        return 0;
    case 3:
        record->nAccountId = 0;
        std::strcpy(record->szUserName, "dave");
        return 1;
    case 6:
        record->nAccountId = 8;
        std::memset(record->szUserName, 'y', 4096);
        return 1;
    default:
        record->nAccountId = 7;
        std::memset(record->szUserName, 'x', sizeof record->szUserName);
        return 1;
    }
}
#endif
