// Icons of a resource module as Qt icons, every size of the icon group included so that the
// sharpest one is drawn at any scale.
#pragma once

#include "platform/modules/Modules.h"

#include <QIcon>

namespace nv::gui {

// Icon group ID of MODULE as an icon; a null icon when absent or unreadable.
QIcon IconFromModule(const platform::ResourceModule* module, UINT id);

// An icon group as an icon.
QIcon IconFromGroup(const platform::IconGroup& group);

} // namespace nv::gui
