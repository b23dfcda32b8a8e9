#include "job/JobFailure.h"

#include "platform/format/Placeholders.h"
#include "resources/ResourceIds.h"

#include <array>
#include <string_view>

namespace nv {

namespace {

using platform::SpoolError;
namespace str = res::str;

// Each failure with the spooler error it stands for, the message that names it (0: none) and
// the advice that follows it, naming the printer and its address (0: the document's fault).
struct FailureRow {
    JobFailure failure;
    SpoolError error;
    UINT message;
    UINT advice;
};

constexpr std::array kFailures = {
    FailureRow{JobFailure::documentHoldsUel, SpoolError::none, str::kDocumentHoldsUel, 0},
    FailureRow{JobFailure::documentUnreadable, SpoolError::none, str::kFileCannotOpen, 0},
    FailureRow{JobFailure::refused, SpoolError::refused, str::kPrinterRefused,
               str::kAdviceConnection},
    FailureRow{JobFailure::reset, SpoolError::reset, str::kPrinterReset, str::kAdviceConnection},
    FailureRow{JobFailure::timedOut, SpoolError::timedOut, str::kPrinterTimedOut,
               str::kAdviceConnection},
    FailureRow{JobFailure::hostUnknown, SpoolError::hostUnknown, str::kHostUnknown,
               str::kAdviceConnection},
    FailureRow{JobFailure::scheduler, SpoolError::scheduler, str::kSchedulerError,
               str::kAdviceScheduler},
    FailureRow{JobFailure::diskFull, SpoolError::diskFull, str::kDiskFull, str::kAdviceDiskFull},
    FailureRow{JobFailure::notSent, SpoolError::none, str::kJobNotSent, str::kAdviceNotSent},
    FailureRow{JobFailure::other, SpoolError::other, str::kJobNotSent, str::kAdviceNotSent},
    FailureRow{JobFailure::cancelled, SpoolError::cancelled, 0, 0},
    FailureRow{JobFailure::commandLibraryDamaged, SpoolError::none, str::kCommandLibraryDamaged, 0},
    FailureRow{JobFailure::documentCut, SpoolError::none, str::kDocumentCutWhileSent, 0},
    FailureRow{JobFailure::outputFolderUnwritable, SpoolError::folderUnwritable,
               str::kOutputFolderUnwritable, 0},
    FailureRow{JobFailure::outputDeviceUnwritable, SpoolError::deviceUnwritable,
               str::kOutputDeviceUnwritable, 0},
};

const FailureRow* RowOf(JobFailure failure) {
    for (const FailureRow& row : kFailures) {
        if (row.failure == failure) {
            return &row;
        }
    }
    return nullptr;
}

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
    const FailureRow* row = RowOf(failure);
    return row != nullptr ? row->message : 0;
}

CString FailureMessage(JobFailure failure, const CString& printer, const CString& port,
                       const std::function<CString(UINT)>& text, const CString& library) {
    const FailureRow* row = RowOf(failure);
    if (row == nullptr || row->message == 0 || !text) {
        return {};
    }
    const CString what = text(row->message);
    if (what.empty()) {
        return {}; // a library without the text says nothing rather than only the advice
    }
    CString message = platform::FillPlaceholders(
        what, {failure == JobFailure::commandLibraryDamaged ? library : HostOfAddress(port)});
    if (const CString advice = row->advice != 0 ? text(row->advice) : CString(); !advice.empty()) {
        message += '\n';
        message += platform::FillPlaceholders(advice, {printer, port});
    }
    return message;
}

CString HostOfAddress(const CString& port) {
    const std::size_t scheme = port.find("://");
    if (scheme == CString::npos) {
        return {};
    }
    std::string_view rest(port);
    rest.remove_prefix(scheme + 3);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (const std::size_t at = rest.rfind('@'); at != std::string_view::npos) {
        rest.remove_prefix(at + 1);
    }
    if (rest.starts_with('[')) {
        return CString(rest.substr(1, rest.find(']') == std::string_view::npos
                                          ? std::string_view::npos
                                          : rest.find(']') - 1));
    }
    return CString(rest.substr(0, rest.find(':')));
}

} // namespace nv
