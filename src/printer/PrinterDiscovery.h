// Which installed printers Norvane supports, and where their capability files are.
#pragma once

#include "platform/spooler/Spooler.h"
#include "platform/wintypes.h"

#include <optional>

namespace nv {

struct CapabilityFileSearch {
    // The folder of the printer's driver, once one of its files was a candidate (ending in the
    // path separator as the spooler gives it).
    std::optional<CString> driverDir;
    // The full path of the capability file that marks the model supported.
    std::optional<CString> capFile;
};

// Looks through the dependent files of PRINTERNAME's driver for a capability file ("nv*.cap",
// either case) whose model section has the "supported" bit of "DirectPrint".
CapabilityFileSearch FindCapabilityFile(platform::ISpooler& spooler, const CString& printerName);

} // namespace nv
