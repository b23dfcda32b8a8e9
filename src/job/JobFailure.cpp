#include "job/JobFailure.h"

#include "resources/ResourceIds.h"

#include <array>

namespace nv {

namespace {

using platform::SpoolError;
namespace str = res::str;

// Each failure with the spooler error it stands for and the message that names it (0: none).
struct FailureRow {
    JobFailure failure;
    SpoolError error;
    UINT message;
};

constexpr std::array kFailures = {
    FailureRow{JobFailure::documentHoldsUel, SpoolError::none, str::kDocumentHoldsUel},
    FailureRow{JobFailure::documentUnreadable, SpoolError::none, str::kFileCannotOpen},
    FailureRow{JobFailure::refused, SpoolError::refused, str::kPrinterRefused},
    FailureRow{JobFailure::reset, SpoolError::reset, str::kPrinterReset},
    FailureRow{JobFailure::timedOut, SpoolError::timedOut, str::kPrinterTimedOut},
    FailureRow{JobFailure::scheduler, SpoolError::scheduler, str::kSchedulerError},
    FailureRow{JobFailure::diskFull, SpoolError::diskFull, str::kDiskFull},
    FailureRow{JobFailure::cancelled, SpoolError::cancelled, 0},
    FailureRow{JobFailure::commandLibraryDamaged, SpoolError::none, str::kCommandLibraryDamaged},
    FailureRow{JobFailure::documentCut, SpoolError::none, str::kDocumentCutWhileSent},
    FailureRow{JobFailure::outputFolderUnwritable, SpoolError::folderUnwritable,
               str::kOutputFolderUnwritable},
    FailureRow{JobFailure::outputDeviceUnwritable, SpoolError::deviceUnwritable,
               str::kOutputDeviceUnwritable},
};

} // namespace

JobFailure FailureOfSpoolError(SpoolError error) {
    for (const FailureRow& row : kFailures) {
        if (row.error == error && error != SpoolError::none) {
            return row.failure;
        }
    }
    return JobFailure::other;
}

UINT MessageOfFailure(JobFailure failure) {
    for (const FailureRow& row : kFailures) {
        if (row.failure == failure) {
            return row.message;
        }
    }
    return 0;
}

} // namespace nv
