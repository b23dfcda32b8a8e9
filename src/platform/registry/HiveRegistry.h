// The registry calls implemented once over a whole-store content (Hive): the stores differ only
// in where the content lives and how a change reaches it (memory, or a locked file).
#pragma once

#include "platform/registry/Hive.h"
#include "platform/registry/Registry.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace nv::platform {

class HiveRegistry : public IRegistry {
public:
    LONG CreateKeyEx(RegistryRoot root, const char* subKey, DWORD access, RegistryKey& key,
                     DWORD* disposition = nullptr) override;
    LONG OpenKeyEx(RegistryRoot root, const char* subKey, DWORD access, RegistryKey& key) override;
    LONG QueryValueEx(const RegistryKey& key, const char* name, DWORD* type, std::uint8_t* data,
                      DWORD* size) override;
    LONG SetValueEx(const RegistryKey& key, const char* name, DWORD type, const std::uint8_t* data,
                    DWORD size) override;
    LONG DeleteValue(const RegistryKey& key, const char* name) override;
    // One Update for all of VALUES.
    LONG SetValues(const RegistryKey& key, std::span<const RegistryValueWrite> values) override;

protected:
    // The store's current content; whatever cannot be read is absent. Valid until the next
    // call of Load or Update.
    virtual const Hive& Load() = 0;
    // Reads the current content, runs CHANGE on it and keeps the result when CHANGE returns
    // true, with no other writer between the read and the write. ERROR_SUCCESS or the
    // store's error (then nothing changed).
    virtual LONG Update(const std::function<bool(Hive&)>& change) = 0;
    // Whether CreateKeyEx lists a missing key in the store at once (true), or only in this
    // object until a value is set in it (false): an empty key is then never written, so
    // opening keys to read them never changes the store.
    virtual bool ListsNewKeysAtOnce() const { return true; }

private:
    // Whether PATH is in the store or among the keys created here but not written (see
    // ListsNewKeysAtOnce).
    bool KeyKnown(const std::string& path);
    // The open key's full path when KEY belongs to this store and was opened with NEEDED access.
    LONG Resolve(const RegistryKey& key, DWORD needed, const std::string*& path) const;

    Hive unwrittenKeys_;
};

} // namespace nv::platform
