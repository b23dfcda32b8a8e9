// The spooler of this system: the CUPS scheduler's printers first, then the direct printers.
#pragma once

#include "platform/spooler/SystemSpooler.h"
