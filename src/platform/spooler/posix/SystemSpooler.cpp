#include "platform/spooler/posix/SystemSpooler.h"

#include "platform/spooler/CombinedSpooler.h"
#include "platform/spooler/posix/CupsSpooler.h"
#include "platform/spooler/posix/DirectSpooler.h"

namespace nv::platform {

std::unique_ptr<ISpooler> CreateSystemSpooler(const CString& chosen) {
    std::vector<std::unique_ptr<ISpooler>> parts;
    auto direct = std::make_unique<DirectSpooler>();
    if (chosen.empty() || !direct->FindPrinter(chosen)) {
        parts.push_back(std::make_unique<CupsSpooler>());
    }
    parts.push_back(std::move(direct));
    return std::make_unique<CombinedSpooler>(std::move(parts));
}

} // namespace nv::platform
