// Runs a dialog surface modally: the GUI draws it and returns when the surface has ended;
// headless front ends and tests decide at once. The surface's logic is set up before the run.
#pragma once

#include "platform/ui/DialogSurface.h"
#include "platform/wintypes.h"

namespace nv::platform {

class IModalHost {
public:
    virtual ~IModalHost() = default;
    // Shows SURFACE, built from dialog template TEMPLATEID, owned by the window that is active
    // now, and returns the surface's end result once it has ended (at once when it already
    // has). Returns -1 when it cannot be shown.
    virtual int RunModal(DialogSurface& surface, UINT templateId) = 0;
};

} // namespace nv::platform
