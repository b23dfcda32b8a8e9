// The settings store seen through a watch on its writes: the dialog does not look at whether a
// save reached the store, but the command line must not report a save that failed as done.
#pragma once

#include "platform/registry/Registry.h"

#include <string>

namespace nv::cli {

class CliTexts;

class WatchedRegistry final : public platform::IRegistry {
public:
    explicit WatchedRegistry(platform::IRegistry& store) : store_(store) {}

    LONG CreateKeyEx(platform::RegistryRoot root, const char* subKey, DWORD access,
                     platform::RegistryKey& key, DWORD* disposition = nullptr) override;
    LONG OpenKeyEx(platform::RegistryRoot root, const char* subKey, DWORD access,
                   platform::RegistryKey& key) override {
        return store_.OpenKeyEx(root, subKey, access, key);
    }
    LONG QueryValueEx(const platform::RegistryKey& key, const char* name, DWORD* type,
                      std::uint8_t* data, DWORD* size) override {
        return store_.QueryValueEx(key, name, type, data, size);
    }
    LONG SetValueEx(const platform::RegistryKey& key, const char* name, DWORD type,
                    const std::uint8_t* data, DWORD size) override;
    LONG DeleteValue(const platform::RegistryKey& key, const char* name) override;
    LONG SetValues(const platform::RegistryKey& key,
                   std::span<const platform::RegistryValueWrite> values) override;

    // The first error of a key creation, a write or a delete (a value that was not there is
    // no error) since the last call; ERROR_SUCCESS when there was none.
    LONG TakeWriteError();

private:
    void Note(LONG rc);

    platform::IRegistry& store_;
    LONG firstError_ = platform::ERROR_SUCCESS;
};

// What went wrong with the settings file, in words, for result RC of the store.
std::string SettingsWriteProblem(LONG rc, const CliTexts& text);

} // namespace nv::cli
