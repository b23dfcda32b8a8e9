// The spooler of this system: the CUPS scheduler's printers first, then the direct printers.
#pragma once

#include "platform/spooler/Spooler.h"

#include <memory>

namespace nv::platform {

std::unique_ptr<ISpooler> CreateSystemSpooler();

} // namespace nv::platform
