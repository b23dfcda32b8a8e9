// A job-log library whose account and user name come from the environment of the program that
// loads it (NV_HOSTILE_ACCOUNT, NV_HOSTILE_USER), so that a test can hand the job header any
// user name a directory service might hold. Without NV_HOSTILE_USER it reports no account.
#include "job/JobOwnerAbi.h"

#include <cstdlib>
#include <cstring>

extern "C" __attribute__((visibility("default"))) int
ReadJobAccountID(const char* /*printer*/, int /*reserved*/, nv::JobAccountRecord* record) {
    const char* user = std::getenv("NV_HOSTILE_USER");
    if (user == nullptr) {
        return 0;
    }
    const char* account = std::getenv("NV_HOSTILE_ACCOUNT");
    record->nAccountId = account != nullptr ? std::atoi(account) : 0;
    std::strncpy(record->szUserName, user, sizeof record->szUserName - 1);
    record->szUserName[sizeof record->szUserName - 1] = '\0';
    return 1;
}
