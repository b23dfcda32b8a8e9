// Why a print attempt that passed validation did not hand a complete job to the spooler.
#pragma once

#include "platform/spooler/Spooler.h"
#include "platform/wintypes.h"

#include <functional>

namespace nv {

enum class JobFailure {
    none,                   // the last attempt succeeded, or none was made
    notSent,                // command library, header or printer unavailable: nothing was started
    cancelled,              // the user (or a signal) stopped the attempt
    documentHoldsUel,       // the document carries the PJL exit sequence
    documentUnreadable,     // the document could not be read whole
    documentCut,            // the document got shorter while it was sent
    refused,                // the printer refused the connection
    reset,                  // the printer broke the connection off
    timedOut,               // the printer took nothing for the whole time limit
    scheduler,              // the print scheduler could not be reached or refused the job
    diskFull,               // the device a file port writes to is full
    hostUnknown,            // the host name of the printer's address does not resolve
    commandLibraryDamaged,  // a template the header needs reads empty, or the header holds an
                            // escape or other control byte: nothing was started
    outputFolderUnwritable, // the folder of the file the job goes to is missing or read-only
    outputDeviceUnwritable, // the device the job goes to cannot be opened for writing
    other                   // the spooler failed without saying why
};

// The failure a spooler error stands for (other for none and other).
JobFailure FailureOfSpoolError(platform::SpoolError error);

// The string ID of the message that names FAILURE to the user; 0 only for none and for a
// job the user stopped, which need no message.
UINT MessageOfFailure(JobFailure failure);

// The whole message of FAILURE for the printer called PRINTER whose address is PORT: what
// happened and, where the printer or its address may be the cause, the printer, its address and
// what to check. Texts come from TEXT (a string loader); "" when the failure has no message. A
// damaged command library's message names LIBRARY.
CString FailureMessage(JobFailure failure, const CString& printer, const CString& port,
                       const std::function<CString(UINT)>& text, const CString& library = {});

// The host name in address PORT ("socket://host:9100", "ipp://[::1]:631/q" -> "::1"): the part
// after "//" up to the port, path or query, without user information and brackets; "" when
// PORT names no host (a file, a device).
CString HostOfAddress(const CString& port);

} // namespace nv
