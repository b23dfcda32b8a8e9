#include "cli/WatchedRegistry.h"

#include "cli/CliTexts.h"

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

std::string SettingsWriteProblem(LONG rc, const CliTexts& text) {
    switch (rc) {
    case platform::ERROR_ACCESS_DENIED:
        return text(res::str::kCliSettingsDenied);
    case platform::ERROR_NOT_ENOUGH_QUOTA:
        return text(res::str::kCliSettingsNoRoom);
    case platform::ERROR_REGISTRY_CORRUPT:
        return text(res::str::kCliSettingsUnreadable);
    case platform::ERROR_REGISTRY_IO_FAILED:
        return text(res::str::kCliSettingsIoFailed);
    default:
        return text(res::str::kCliSettingsError, {std::to_string(rc)});
    }
}

} // namespace nv::cli
