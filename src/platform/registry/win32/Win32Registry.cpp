#include "platform/registry/win32/Win32Registry.h"

#include "platform/registry/Hive.h"
#include "platform/text/win32/WideText.h"

#include <cstring>
#include <optional>
#include <string>
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

bool IsStringType(unsigned long type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// NAME (UTF-8) as the UTF-16 name of a value or key; none when it is not well-formed UTF-8.
std::optional<std::wstring> WideName(const char* name) {
    return WideFromUtf8(name != nullptr ? name : "");
}

// The stored UTF-16 text of a string value in UTF-8, character for character: no terminator is
// added or removed.
std::vector<std::uint8_t> Utf8FromStoredText(const std::vector<std::uint8_t>& stored) {
    std::wstring wide(stored.size() / 2, L'\0');
    if (!wide.empty()) {
        std::memcpy(wide.data(), stored.data(), 2 * wide.size());
    }
    const std::string text = Utf8FromWide(wide);
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    if (stored.size() % 2 != 0) {
        bytes.push_back(stored.back()); // half a character: kept as it was
    }
    return bytes;
}

// The value NAME of KEY read whole into BYTES (the size grows when the value does meanwhile),
// string values converted from their stored UTF-16 to UTF-8.
LONG ReadValue(HKEY key, const char* name, DWORD* type, std::vector<std::uint8_t>& bytes) {
    const std::optional<std::wstring> wide = WideName(name);
    if (!wide) {
        return ERROR_FILE_NOT_FOUND;
    }
    const std::wstring& wideName = *wide;
    unsigned long size = 0;
    unsigned long kind = 0;
    LONG rc = RegQueryValueExW(key, wideName.c_str(), nullptr, &kind, nullptr, &size);
    for (int attempt = 0; attempt < 8 && rc == ERROR_SUCCESS; ++attempt) {
        std::vector<std::uint8_t> stored(size > 0 ? size : 1u, 0);
        unsigned long got = size;
        rc = RegQueryValueExW(key, wideName.c_str(), nullptr, &kind, stored.data(), &got);
        if (rc == ERROR_SUCCESS) {
            stored.resize(got);
            bytes = IsStringType(kind) ? Utf8FromStoredText(stored) : std::move(stored);
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

// Opens or creates SUB below PARENT one component at a time, each component checked for its
// limit of 255 characters by the system itself. The intermediate keys are opened with what
// opening below them needs; the last with ACCESS.
LONG OpenPath(HKEY parent, const std::string& sub, DWORD access, bool create, HKEY* opened,
              unsigned long* disposition) {
    HKEY current = parent;
    bool owned = false;
    std::size_t start = 0;
    LONG rc = ERROR_SUCCESS;
    for (;;) {
        const std::size_t end = sub.find('\\', start);
        const bool last = end == std::string::npos;
        const std::string component = sub.substr(start, last ? std::string::npos : end - start);
        const DWORD want = last ? access : KEY_CREATE_SUB_KEY | KEY_ENUMERATE_SUB_KEYS;
        HKEY next = nullptr;
        const std::optional<std::wstring> name = WideName(component.c_str());
        if (!name) {
            rc = ERROR_INVALID_PARAMETER;
        } else if (create) {
            rc = RegCreateKeyExW(current, name->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, want,
                                 nullptr, &next, disposition);
        } else {
            rc = RegOpenKeyExW(current, name->c_str(), 0, want, &next);
        }
        if (owned) {
            RegCloseKey(current);
        }
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        current = next;
        owned = true;
        if (last) {
            *opened = current;
            return ERROR_SUCCESS;
        }
        start = end + 1;
    }
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
    const std::optional<std::wstring> wide = WideName(base.c_str());
    return wide ? RegDeleteTreeW(HKEY_CURRENT_USER, wide->c_str()) : ERROR_INVALID_PARAMETER;
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
        const std::optional<std::wstring> wide = WideName(path.c_str());
        *error =
            wide ? RegCreateKeyExW(HKEY_CURRENT_USER, wide->c_str(), 0, nullptr,
                                   REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr)
                 : ERROR_INVALID_PARAMETER;
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
    KeyPath checked;
    if (LONG rc = CheckKeyPath(root, subKey, checked); rc != ERROR_SUCCESS) {
        return rc;
    }
    const std::string& sub = checked.sub;
    LONG rc = ERROR_SUCCESS;
    HKEY parent = static_cast<HKEY>(RootKey(root, &rc));
    if (parent == nullptr) {
        return rc;
    }
    HKEY opened = nullptr;
    unsigned long what = REG_OPENED_EXISTING_KEY;
    rc = OpenPath(parent, sub, access, create, &opened, &what);
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
    const std::optional<std::wstring> wideName = WideName(name);
    if (!wideName) {
        return ERROR_INVALID_PARAMETER;
    }
    static const std::uint8_t kNothing = 0;
    if (!IsStringType(type) || size == 0) {
        return RegSetValueExW(handle, wideName->c_str(), 0, type,
                              data != nullptr ? data : &kNothing, size);
    }
    // A text is converted here, exactly the SIZE bytes given, terminators included; bytes that
    // are not UTF-8 are stored as U+FFFD rather than refused. The system's call adds a
    // terminator the caller did not count when the unit after the data is one, so the unit
    // after the converted text is made one that is not: what is stored is what was given.
    std::wstring wide = WideFromUtf8Replacing(
        {reinterpret_cast<const char*>(data), static_cast<std::size_t>(size)});
    if (wide.empty()) {
        return ERROR_INVALID_PARAMETER;
    }
    const std::size_t units = wide.size();
    wide.push_back(L'\xFFFF');
    return RegSetValueExW(handle, wideName->c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(wide.data()),
                          static_cast<DWORD>(units * sizeof(wchar_t)));
}

LONG Win32Registry::DeleteValue(const RegistryKey& key, const char* name) {
    HKEY handle = Resolve(this, key);
    if (handle == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    const std::optional<std::wstring> wideName = WideName(name);
    return wideName ? RegDeleteValueW(handle, wideName->c_str()) : ERROR_FILE_NOT_FOUND;
}

std::unique_ptr<IRegistry> OpenUserRegistry() {
    return std::make_unique<Win32Registry>();
}

std::string UserRegistryLocation() {
    return RootName(RegistryRoot::currentUser);
}

} // namespace nv::platform
