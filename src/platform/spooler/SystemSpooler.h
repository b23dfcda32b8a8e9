// The spooler of this system: on Linux the CUPS scheduler's printers followed by the direct
// printers, on Windows the system's print spooler.
#pragma once

#include "platform/spooler/Spooler.h"

#include <memory>

namespace nv::platform {

std::unique_ptr<ISpooler> CreateSystemSpooler();

} // namespace nv::platform
