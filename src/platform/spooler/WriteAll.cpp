#include "platform/spooler/Spooler.h"

#include <cstdint>

namespace nv::platform {

BOOL WriteAll(IPrintDocument& doc, const void* data, DWORD size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        DWORD written = 0;
        if (!doc.WritePrinter(bytes, size, &written) || written == 0 || written > size) {
            return FALSE;
        }
        bytes += written;
        size -= written;
    }
    return TRUE;
}

} // namespace nv::platform
