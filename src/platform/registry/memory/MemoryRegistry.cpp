#include "platform/registry/memory/MemoryRegistry.h"

namespace nv::platform {

LONG MemoryRegistry::CreateKeyEx(RegistryRoot root, const char* subKey, DWORD access,
                                 RegistryKey& key, DWORD* disposition) {
    if (openError_ != 0) {
        key.Close();
        return openError_;
    }
    return HiveRegistry::CreateKeyEx(root, subKey, access, key, disposition);
}

LONG MemoryRegistry::OpenKeyEx(RegistryRoot root, const char* subKey, DWORD access,
                               RegistryKey& key) {
    if (openError_ != 0) {
        key.Close();
        return openError_;
    }
    return HiveRegistry::OpenKeyEx(root, subKey, access, key);
}

LONG MemoryRegistry::Update(const std::function<bool(Hive&)>& change) {
    if (writeError_ != 0) {
        return writeError_;
    }
    Hive next = hive_;
    if (change(next)) {
        hive_ = std::move(next);
        ++changesWritten_;
    }
    return ERROR_SUCCESS;
}

} // namespace nv::platform
