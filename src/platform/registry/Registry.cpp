#include "platform/registry/Registry.h"

namespace nv::platform {

LONG IRegistry::SetValues(const RegistryKey& key, std::span<const RegistryValueWrite> values) {
    LONG first = ERROR_SUCCESS;
    for (const RegistryValueWrite& value : values) {
        const LONG rc = SetValueEx(key, value.name, value.type, value.data.data(),
                                   static_cast<DWORD>(value.data.size()));
        if (first == ERROR_SUCCESS) {
            first = rc;
        }
    }
    return first;
}

RegistryValueWrite IRegistry::StringValue(const char* name, const CString& text) {
    return {name, REG_SZ,
            std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                          text.size() + 1)};
}

RegistryValueWrite IRegistry::DwordValue(const char* name, DWORD value,
                                         std::array<std::uint8_t, 4>& bytes) {
    bytes = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
             static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return {name, REG_DWORD, bytes};
}

LONG IRegistry::SetStringValue(const RegistryKey& key, const char* name, const CString& text) {
    const RegistryValueWrite value = StringValue(name, text);
    return SetValueEx(key, name, value.type, value.data.data(),
                      static_cast<DWORD>(value.data.size()));
}

LONG IRegistry::SetDwordValue(const RegistryKey& key, const char* name, DWORD value) {
    std::array<std::uint8_t, 4> bytes{};
    const RegistryValueWrite write = DwordValue(name, value, bytes);
    return SetValueEx(key, name, write.type, write.data.data(),
                      static_cast<DWORD>(write.data.size()));
}

DWORD DwordFromBytes(const std::uint8_t* bytes) {
    return static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8 |
           static_cast<DWORD>(bytes[2]) << 16 | static_cast<DWORD>(bytes[3]) << 24;
}

const char* RootName(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::currentUser:
        return "HKEY_CURRENT_USER";
    case RegistryRoot::classesRoot:
        return "HKEY_CLASSES_ROOT";
    }
    return "HKEY_CURRENT_USER";
}

} // namespace nv::platform
