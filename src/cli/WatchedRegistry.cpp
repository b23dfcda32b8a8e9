#include "cli/WatchedRegistry.h"

namespace nv::cli {

LONG WatchedRegistry::CreateKeyEx(platform::RegistryRoot root, const char* subKey, DWORD access,
                                  platform::RegistryKey& key, DWORD* disposition) {
    const LONG rc = store_.CreateKeyEx(root, subKey, access, key, disposition);
    Note(rc);
    return rc;
}

LONG WatchedRegistry::SetValueEx(const platform::RegistryKey& key, const char* name, DWORD type,
                                 const std::uint8_t* data, DWORD size) {
    const LONG rc = store_.SetValueEx(key, name, type, data, size);
    Note(rc);
    return rc;
}

LONG WatchedRegistry::SetValues(const platform::RegistryKey& key,
                                std::span<const platform::RegistryValueWrite> values) {
    const LONG rc = store_.SetValues(key, values);
    Note(rc);
    return rc;
}

LONG WatchedRegistry::DeleteValue(const platform::RegistryKey& key, const char* name) {
    const LONG rc = store_.DeleteValue(key, name);
    if (rc != platform::ERROR_FILE_NOT_FOUND) {
        Note(rc);
    }
    return rc;
}

LONG WatchedRegistry::TakeWriteError() {
    const LONG rc = firstError_;
    firstError_ = platform::ERROR_SUCCESS;
    return rc;
}

void WatchedRegistry::Note(LONG rc) {
    if (firstError_ == platform::ERROR_SUCCESS) {
        firstError_ = rc;
    }
}

std::string SettingsWriteProblem(LONG rc) {
    switch (rc) {
    case platform::ERROR_ACCESS_DENIED:
        return "permission denied";
    case platform::ERROR_NOT_ENOUGH_QUOTA:
        return "no room: the disk is full or the file would be too large";
    case platform::ERROR_REGISTRY_CORRUPT:
        return "the file cannot be read whole (not a settings file, another encoding, or cut "
               "off), so it is left as it is";
    case platform::ERROR_REGISTRY_IO_FAILED:
        return "the file cannot be read or written";
    default:
        return "error " + std::to_string(rc);
    }
}

} // namespace nv::cli
