// Resource modules on POSIX systems, which have no loader for them: the file is read whole
// and parsed by our PE reader.
#include "platform/modules/ModuleFile.h"
#include "platform/modules/Modules.h"

namespace nv::platform {

std::unique_ptr<ResourceModule> ResourceModule::Load(const std::string& path) {
    auto bytes = pe::ReadModuleFile(path);
    if (!bytes) {
        return nullptr;
    }
    return LoadFromMemory(std::move(*bytes));
}

} // namespace nv::platform
