#include "platform/registry/win32/Win32Registry.h"

#include "platform/registry/Hive.h"

#include <cstring>
#include <string_view>
#include <vector>
#include <windows.h>

namespace nv::platform {
namespace {

class Win32KeyHandle final : public RegistryKey::Handle {
public:
    Win32KeyHandle(const Win32Registry* owner, HKEY key) : owner_(owner), key_(key) {}
    ~Win32KeyHandle() override { RegCloseKey(key_); }
    Win32KeyHandle(const Win32KeyHandle&) = delete;
    Win32KeyHandle& operator=(const Win32KeyHandle&) = delete;
    const Win32Registry* Owner() const { return owner_; }
    HKEY Key() const { return key_; }

private:
    const Win32Registry* owner_;
    HKEY key_;
};

// SUBKEY checked as the other stores check it; *SUB receives it without a trailing backslash.
LONG CheckSubKey(RegistryRoot root, const char* subKey, std::string& sub) {
    std::string_view view = subKey != nullptr ? subKey : "";
    if (!view.empty() && view.front() == '\\') {
        return ERROR_BAD_PATHNAME;
    }
    if (!view.empty() && view.back() == '\\') {
        view.remove_suffix(1);
    }
    if (view.find("\\\\") != std::string_view::npos) {
        return ERROR_BAD_PATHNAME;
    }
    std::string full = RootName(root);
    if (!view.empty()) {
        full += '\\';
        full += view;
    }
    if (!IsValidKeyPath(full)) {
        return ERROR_INVALID_PARAMETER;
    }
    sub.assign(view);
    return ERROR_SUCCESS;
}

// The value NAME of KEY read whole into BYTES (the size grows when the value does meanwhile).
LONG ReadValue(HKEY key, const char* name, DWORD* type, std::vector<std::uint8_t>& bytes) {
    unsigned long size = 0;
    unsigned long kind = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, &kind, nullptr, &size);
    for (int attempt = 0; attempt < 8 && rc == ERROR_SUCCESS; ++attempt) {
        // One spare byte: the ANSI size of a text may differ from the size first reported.
        bytes.assign(size + 1, 0);
        unsigned long got = size + 1;
        rc = RegQueryValueExA(key, name, nullptr, &kind, bytes.data(), &got);
        if (rc == ERROR_SUCCESS) {
            bytes.resize(got);
            *type = static_cast<DWORD>(kind);
            return ERROR_SUCCESS;
        }
        if (rc == ERROR_MORE_DATA) {
            size = got > size ? got : size * 2 + 16;
            rc = ERROR_SUCCESS;
        }
    }
    return rc;
}

} // namespace

Win32Registry::Win32Registry() = default;

Win32Registry::Win32Registry(std::string base) : base_(std::move(base)) {}

Win32Registry::~Win32Registry() {
    for (void* root : roots_) {
        if (root != nullptr) {
            RegCloseKey(static_cast<HKEY>(root));
        }
    }
}

LONG Win32Registry::DeleteTree(const std::string& base) {
    if (base.empty()) {
        return ERROR_INVALID_PARAMETER;
    }
    return RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
}

void* Win32Registry::RootKey(RegistryRoot root, LONG* error) {
    *error = ERROR_SUCCESS;
    if (base_.empty()) {
        return root == RegistryRoot::classesRoot ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER;
    }
    void*& slot = roots_[root == RegistryRoot::classesRoot ? 1 : 0];
    if (slot == nullptr) {
        const std::string path = base_ + "\\" + RootName(root);
        HKEY key = nullptr;
        *error = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr,
                                 REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (*error != ERROR_SUCCESS) {
            return nullptr;
        }
        slot = key;
    }
    return slot;
}

LONG Win32Registry::Open(RegistryRoot root, const char* subKey, DWORD access, bool create,
                         RegistryKey& key, DWORD* disposition) {
    key.Close();
    std::string sub;
    if (LONG rc = CheckSubKey(root, subKey, sub); rc != ERROR_SUCCESS) {
        return rc;
    }
    LONG rc = ERROR_SUCCESS;
    HKEY parent = static_cast<HKEY>(RootKey(root, &rc));
    if (parent == nullptr) {
        return rc;
    }
    HKEY opened = nullptr;
    unsigned long what = REG_OPENED_EXISTING_KEY;
    if (create) {
        rc = RegCreateKeyExA(parent, sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                             nullptr, &opened, &what);
    } else {
        rc = RegOpenKeyExA(parent, sub.c_str(), 0, access, &opened);
    }
    if (rc != ERROR_SUCCESS) {
        return rc;
    }
    if (disposition != nullptr) {
        *disposition = static_cast<DWORD>(what);
    }
    key = RegistryKey(std::make_unique<Win32KeyHandle>(this, opened));
    return ERROR_SUCCESS;
}

LONG Win32Registry::CreateKeyEx(RegistryRoot root, const char* subKey, DWORD access,
                                RegistryKey& key, DWORD* disposition) {
    return Open(root, subKey, access, true, key, disposition);
}

LONG Win32Registry::OpenKeyEx(RegistryRoot root, const char* subKey, DWORD access,
                              RegistryKey& key) {
    return Open(root, subKey, access, false, key, nullptr);
}

namespace {

// The system key of KEY when KEY is open and was opened by OWNER.
HKEY Resolve(const Win32Registry* owner, const RegistryKey& key) {
    const auto* handle = dynamic_cast<const Win32KeyHandle*>(key.Get());
    return handle != nullptr && handle->Owner() == owner ? handle->Key() : nullptr;
}

} // namespace

LONG Win32Registry::QueryValueEx(const RegistryKey& key, const char* name, DWORD* type,
                                 std::uint8_t* data, DWORD* size) {
    HKEY handle = Resolve(this, key);
    if (handle == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    if (data != nullptr && size == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    DWORD kind = 0;
    std::vector<std::uint8_t> bytes;
    if (LONG rc = ReadValue(handle, name, &kind, bytes); rc != ERROR_SUCCESS) {
        return rc;
    }
    const auto stored = static_cast<DWORD>(bytes.size());
    if (type != nullptr) {
        *type = kind;
    }
    if (data == nullptr) {
        if (size != nullptr) {
            *size = stored;
        }
        return ERROR_SUCCESS;
    }
    if (*size < stored) {
        *size = stored;
        return ERROR_MORE_DATA;
    }
    if (stored > 0) {
        std::memcpy(data, bytes.data(), stored);
    }
    *size = stored;
    return ERROR_SUCCESS;
}

LONG Win32Registry::SetValueEx(const RegistryKey& key, const char* name, DWORD type,
                               const std::uint8_t* data, DWORD size) {
    HKEY handle = Resolve(this, key);
    if (handle == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    if (!IsValidValueName(name != nullptr ? name : "") || size > kMaxValueDataBytes ||
        (data == nullptr && size > 0)) {
        return ERROR_INVALID_PARAMETER;
    }
    static const std::uint8_t kNothing = 0;
    return RegSetValueExA(handle, name, 0, type, data != nullptr ? data : &kNothing, size);
}

LONG Win32Registry::DeleteValue(const RegistryKey& key, const char* name) {
    HKEY handle = Resolve(this, key);
    if (handle == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    return RegDeleteValueA(handle, name);
}

std::unique_ptr<IRegistry> OpenUserRegistry() {
    return std::make_unique<Win32Registry>();
}

} // namespace nv::platform
