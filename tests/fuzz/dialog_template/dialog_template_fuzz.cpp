// Reads arbitrary bytes as a dialog template and builds a surface from whatever it accepts.
#include "platform/modules/DialogTemplate.h"
#include "platform/ui/TemplateSurface.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto dialog = nv::platform::ParseDialogTemplate(nv::platform::pe::Bytes(data, size));
    if (dialog) {
        nv::platform::DialogSurface surface;
        nv::platform::BuildSurfaceFromTemplate(surface, *dialog, [](nv::UINT id) {
            return static_cast<nv::platform::IconHandle>(id);
        });
    }
    return 0;
}
