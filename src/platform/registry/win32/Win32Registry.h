// The store of a Windows user: the system registry through the Reg*W calls, names and texts
// handed over in UTF-8. The registry keeps UTF-16, so what a program of the system's code page
// stored reads back the same. Keys under the current-user root live in HKEY_CURRENT_USER and those
// under the classes root in HKEY_CLASSES_ROOT, unless a base key is given, in which case both roots
// are sub-keys of that base key below HKEY_CURRENT_USER (a private tree for tests).
//
// The calls keep the interface's contract where the system is looser: key paths and value
// names are checked with the same rules as the other stores, a value that does not fit is
// never partly copied, and a size query reports the exact size of the bytes a read gives.
#pragma once

#include "platform/registry/Registry.h"

#include <string>

namespace nv::platform {

class Win32Registry final : public IRegistry {
public:
    // The user's own keys.
    Win32Registry();
    // Both roots below HKEY_CURRENT_USER\BASE (created on first use), e.g. "Software\Tests\1".
    explicit Win32Registry(std::string base);
    ~Win32Registry() override;
    Win32Registry(const Win32Registry&) = delete;
    Win32Registry& operator=(const Win32Registry&) = delete;

    LONG CreateKeyEx(RegistryRoot root, const char* subKey, DWORD access, RegistryKey& key,
                     DWORD* disposition = nullptr) override;
    LONG OpenKeyEx(RegistryRoot root, const char* subKey, DWORD access, RegistryKey& key) override;
    LONG QueryValueEx(const RegistryKey& key, const char* name, DWORD* type, std::uint8_t* data,
                      DWORD* size) override;
    LONG SetValueEx(const RegistryKey& key, const char* name, DWORD type, const std::uint8_t* data,
                    DWORD size) override;
    LONG DeleteValue(const RegistryKey& key, const char* name) override;

    // Deletes HKEY_CURRENT_USER\BASE with everything below it (the cleanup of a private tree).
    static LONG DeleteTree(const std::string& base);

private:
    // The open key ROOT stands for, or null when it cannot be opened; *ERROR tells why.
    void* RootKey(RegistryRoot root, LONG* error);
    LONG Open(RegistryRoot root, const char* subKey, DWORD access, bool create, RegistryKey& key,
              DWORD* disposition);

    std::string base_;
    void* roots_[2] = {nullptr, nullptr}; // opened below the base; null until first used
};

} // namespace nv::platform
