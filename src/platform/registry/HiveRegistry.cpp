#include "platform/registry/HiveRegistry.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace nv::platform {
namespace {

class HiveKeyHandle final : public RegistryKey::Handle {
public:
    HiveKeyHandle(const HiveRegistry* owner, std::string path, DWORD access)
        : owner_(owner), path_(std::move(path)), access_(access) {}
    const HiveRegistry* Owner() const { return owner_; }
    const std::string& Path() const { return path_; }
    DWORD Access() const { return access_; }

private:
    const HiveRegistry* owner_;
    std::string path_;
    DWORD access_;
};

} // namespace

bool HiveRegistry::KeyKnown(const std::string& path) {
    return unwrittenKeys_.KeyExists(path) || Load().KeyExists(path);
}

LONG HiveRegistry::Resolve(const RegistryKey& key, DWORD needed, const std::string*& path) const {
    const auto* handle = dynamic_cast<const HiveKeyHandle*>(key.Get());
    if (handle == nullptr || handle->Owner() != this) {
        return ERROR_INVALID_HANDLE;
    }
    if ((handle->Access() & needed) != needed) {
        return ERROR_ACCESS_DENIED;
    }
    path = &handle->Path();
    return ERROR_SUCCESS;
}

LONG HiveRegistry::CreateKeyEx(RegistryRoot root, const char* subKey, DWORD access,
                               RegistryKey& key, DWORD* disposition) {
    key.Close();
    KeyPath checked;
    if (LONG rc = CheckKeyPath(root, subKey, checked); rc != ERROR_SUCCESS) {
        return rc;
    }
    std::string& path = checked.full;
    // Opening an existing key writes nothing, so it works on a store that cannot be written.
    bool created = !KeyKnown(path);
    if (created && !ListsNewKeysAtOnce()) {
        unwrittenKeys_.EnsureKey(path);
    } else if (created) {
        LONG rc = Update([&](Hive& hive) {
            created = !hive.KeyExists(path);
            if (created) {
                hive.EnsureKey(path);
            }
            return created;
        });
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
    }
    if (disposition != nullptr) {
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    key = RegistryKey(std::make_unique<HiveKeyHandle>(this, std::move(path), access));
    return ERROR_SUCCESS;
}

LONG HiveRegistry::OpenKeyEx(RegistryRoot root, const char* subKey, DWORD access,
                             RegistryKey& key) {
    key.Close();
    KeyPath checked;
    if (LONG rc = CheckKeyPath(root, subKey, checked); rc != ERROR_SUCCESS) {
        return rc;
    }
    std::string& path = checked.full;
    if (!KeyKnown(path)) {
        return ERROR_FILE_NOT_FOUND;
    }
    key = RegistryKey(std::make_unique<HiveKeyHandle>(this, std::move(path), access));
    return ERROR_SUCCESS;
}

LONG HiveRegistry::QueryValueEx(const RegistryKey& key, const char* name, DWORD* type,
                                std::uint8_t* data, DWORD* size) {
    const std::string* path = nullptr;
    if (LONG rc = Resolve(key, KEY_QUERY_VALUE, path); rc != ERROR_SUCCESS) {
        return rc;
    }
    if (data != nullptr && size == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const HiveKey* found = Load().FindKey(*path);
    if (found == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    auto it = found->values.find(FoldName(name != nullptr ? name : ""));
    if (it == found->values.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    const HiveValue& value = it->second;
    const auto stored = static_cast<DWORD>(value.data.size());
    if (type != nullptr) {
        *type = value.type;
    }
    if (data != nullptr && *size < stored) {
        *size = stored;
        return ERROR_MORE_DATA;
    }
    if (data != nullptr && stored != 0) {
        std::memcpy(data, value.data.data(), stored);
    }
    if (size != nullptr) {
        *size = stored;
    }
    return ERROR_SUCCESS;
}

namespace {

// Sets VALUE (already checked) in TARGET; false when TARGET held it exactly so already.
bool PutValue(HiveKey& target, HiveValue value) {
    std::string folded = FoldName(value.name);
    auto it = target.values.find(folded);
    if (it == target.values.end()) {
        target.values.emplace(std::move(folded), std::move(value));
        return true;
    }
    if (it->second.type == value.type && it->second.data == value.data) {
        return false;
    }
    it->second.type = value.type;
    it->second.data = std::move(value.data);
    return true;
}

// The value NAME of TYPE holding SIZE bytes of DATA, or ERROR_INVALID_PARAMETER.
LONG MakeValue(const char* name, DWORD type, const std::uint8_t* data, std::size_t size,
               HiveValue& value) {
    std::string_view valueName = name != nullptr ? name : "";
    if (!IsValidValueName(valueName) || (data == nullptr && size != 0) ||
        size > kMaxValueDataBytes) {
        return ERROR_INVALID_PARAMETER;
    }
    value = HiveValue{std::string(valueName), type, {}};
    if (size != 0) {
        value.data.assign(data, data + size);
    }
    return ERROR_SUCCESS;
}

} // namespace

LONG HiveRegistry::SetValueEx(const RegistryKey& key, const char* name, DWORD type,
                              const std::uint8_t* data, DWORD size) {
    const RegistryValueWrite one{name, type, std::span<const std::uint8_t>(data, size)};
    return SetValues(key, std::span<const RegistryValueWrite>(&one, 1));
}

LONG HiveRegistry::SetValues(const RegistryKey& key, std::span<const RegistryValueWrite> values) {
    const std::string* path = nullptr;
    if (LONG rc = Resolve(key, KEY_SET_VALUE, path); rc != ERROR_SUCCESS) {
        return rc;
    }
    std::vector<HiveValue> checked(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const RegistryValueWrite& write = values[i];
        if (LONG rc =
                MakeValue(write.name, write.type, write.data.data(), write.data.size(), checked[i]);
            rc != ERROR_SUCCESS) {
            return rc; // nothing written
        }
    }
    return Update([&](Hive& hive) {
        // A key removed from the store behind an open handle is listed again.
        HiveKey& target = hive.EnsureKey(*path);
        bool changed = false;
        for (HiveValue& value : checked) {
            changed = PutValue(target, value) || changed;
        }
        return changed;
    });
}

LONG HiveRegistry::DeleteValue(const RegistryKey& key, const char* name) {
    const std::string* path = nullptr;
    if (LONG rc = Resolve(key, KEY_SET_VALUE, path); rc != ERROR_SUCCESS) {
        return rc;
    }
    const std::string folded = FoldName(name != nullptr ? name : "");
    const HiveKey* current = Load().FindKey(*path);
    if (current == nullptr || !current->values.contains(folded)) {
        return ERROR_FILE_NOT_FOUND; // nothing to write
    }
    bool found = false;
    LONG rc = Update([&](Hive& hive) {
        HiveKey* target = hive.FindKey(*path);
        found = target != nullptr && target->values.erase(folded) != 0;
        return found;
    });
    if (rc != ERROR_SUCCESS) {
        return rc;
    }
    return found ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

} // namespace nv::platform
