// Why a print attempt that passed validation did not hand a complete job to the spooler.
#pragma once

#include "platform/spooler/Spooler.h"
#include "platform/wintypes.h"

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
    commandLibraryDamaged,  // a template the header needs reads empty, or the header holds an
                            // escape or other control byte: nothing was started
    outputFolderUnwritable, // the folder of the file the job goes to is missing or read-only
    outputDeviceUnwritable, // the device the job goes to cannot be opened for writing
    other                   // the spooler failed without saying why
};

// The failure a spooler error stands for (other for none and other).
JobFailure FailureOfSpoolError(platform::SpoolError error);

// The string ID of the message that names FAILURE to the user; 0 for the failures that stay
// silent (nothing was started, the user stopped it, or the spooler did not say why).
UINT MessageOfFailure(JobFailure failure);

} // namespace nv
