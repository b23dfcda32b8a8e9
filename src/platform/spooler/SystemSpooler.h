// The spooler of this system: on Linux the CUPS scheduler's printers followed by the direct
// printers, on Windows the system's print spooler.
#pragma once

#include "platform/spooler/Spooler.h"
#include "platform/wintypes.h"

#include <memory>

namespace nv::platform {

// CHOSEN names the printer a run is about to use, when the caller knows it already. On Linux,
// where CHOSEN is a direct printer, the spooler holds the direct printers only, so that such a
// run never waits on a scheduler; elsewhere it changes nothing.
std::unique_ptr<ISpooler> CreateSystemSpooler(const CString& chosen = {});

} // namespace nv::platform
