#include "platform/registry/Registry.h"

namespace nv::platform {

LONG IRegistry::SetStringValue(const RegistryKey& key, const char* name, const CString& text) {
    return SetValueEx(key, name, REG_SZ, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                      static_cast<DWORD>(text.size() + 1));
}

LONG IRegistry::SetDwordValue(const RegistryKey& key, const char* name, DWORD value) {
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return SetValueEx(key, name, REG_DWORD, bytes, sizeof bytes);
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
