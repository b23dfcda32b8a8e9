#include "settings/SettingsStore.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace nv {

namespace {

using platform::ERROR_SUCCESS;

constexpr DWORD kNumberSize = 4;

bool openKey(platform::IRegistry& registry, const CString& path, platform::RegistryKey& key) {
    return registry.CreateKeyEx(platform::RegistryRoot::currentUser, path.c_str(),
                                platform::KEY_ALL_ACCESS, key) == ERROR_SUCCESS;
}

} // namespace

CString CommaForm(const CString& name) {
    CString form = name;
    std::replace(form.begin(), form.end(), '\\', ',');
    return form;
}

CString FromCommaForm(const CString& stored) {
    CString name = stored;
    std::replace(name.begin(), name.end(), ',', '\\');
    return name;
}

bool OpenSettingsKey(platform::IRegistry& registry, platform::RegistryKey& key) {
    return openKey(registry, CString(kSettingsBaseKey) + "\\" + kSettingsKeyName, key);
}

bool OpenPrinterKey(platform::IRegistry& registry, const CString& printerName,
                    platform::RegistryKey& key) {
    return openKey(registry, CString(kSettingsBaseKey) + "\\" + CommaForm(printerName), key);
}

std::optional<CString> ReadTextValue(platform::IRegistry& registry,
                                     const platform::RegistryKey& key, const char* name,
                                     DWORD readSize) {
    DWORD size = 0;
    if (registry.QueryValueEx(key, name, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size > readSize) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> buffer(readSize, 0);
    if (registry.QueryValueEx(key, name, nullptr, buffer.data(), &size) != ERROR_SUCCESS ||
        size > readSize) {
        return std::nullopt;
    }
    // A value stored without its NUL ends with its last byte.
    const auto* text = reinterpret_cast<const char*>(buffer.data());
    return CString(text, strnlen(text, size));
}

std::optional<DWORD> ReadNumberValue(platform::IRegistry& registry,
                                     const platform::RegistryKey& key, const char* name) {
    DWORD size = 0;
    if (registry.QueryValueEx(key, name, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size != kNumberSize) {
        return std::nullopt;
    }
    std::uint8_t bytes[kNumberSize] = {};
    if (registry.QueryValueEx(key, name, nullptr, bytes, &size) != ERROR_SUCCESS ||
        size != kNumberSize) {
        return std::nullopt;
    }
    return platform::DwordFromBytes(bytes);
}

void ReadSetting(platform::IRegistry& registry, const platform::RegistryKey& key,
                 const SettingValue& value, CPdfSendDlg& dlg) {
    if (value.text != nullptr) {
        dlg.*value.text =
            ReadTextValue(registry, key, value.name, value.readSize).value_or(CString());
    } else if (value.number != nullptr) {
        dlg.*value.number = static_cast<int>(
            ReadNumberValue(registry, key, value.name).value_or(value.defaultNumber));
    }
}

bool TransferPrinterSettings(platform::IRegistry& registry, const CString& printerName,
                             CPdfSendDlg& dlg, Transfer direction) {
    platform::RegistryKey key;
    if (!OpenPrinterKey(registry, printerName, key)) {
        return false;
    }
    for (const SettingValue& value : kSettingValues) {
        if (value.key != SettingsKeyKind::printer) {
            continue;
        }
        if (direction == Transfer::save) {
            WriteSetting(registry, key, value, dlg);
        } else {
            ReadSetting(registry, key, value, dlg);
        }
    }
    key.Close();
    return true;
}

void SetSettingDefaults(CPdfSendDlg& dlg) {
    for (const SettingValue& value : kSettingValues) {
        if (value.key != SettingsKeyKind::printer) {
            continue;
        }
        if (value.text != nullptr) {
            dlg.*value.text = CString();
        } else if (value.number != nullptr) {
            dlg.*value.number = static_cast<int>(value.defaultNumber);
        }
    }
}

LONG WriteSetting(platform::IRegistry& registry, const platform::RegistryKey& key,
                  const SettingValue& value, const CPdfSendDlg& dlg) {
    if (value.text != nullptr) {
        return registry.SetStringValue(key, value.name, dlg.*value.text);
    }
    if (value.number != nullptr) {
        return registry.SetDwordValue(key, value.name, static_cast<DWORD>(dlg.*value.number));
    }
    return platform::ERROR_INVALID_PARAMETER;
}

const SettingValue& SettingsValue(const char* name) {
    for (const SettingValue& value : kSettingValues) {
        if (value.key == SettingsKeyKind::settings && std::strcmp(value.name, name) == 0) {
            return value;
        }
    }
    return kSettingValues.front();
}

std::optional<CString> ReadSavedPrinter(platform::IRegistry& registry) {
    platform::RegistryKey key;
    if (!OpenSettingsKey(registry, key)) {
        return std::nullopt;
    }
    const CString stored =
        ReadTextValue(registry, key, kPrinterValue, kPrinterNameReadSize).value_or(CString());
    key.Close();
    return FromCommaForm(stored);
}

bool ReadSavedPassword(platform::IRegistry& registry, CPdfSendDlg& dlg) {
    platform::RegistryKey key;
    if (!OpenSettingsKey(registry, key)) {
        return false;
    }
    ReadSetting(registry, key, SettingsValue(kPasswordFlagValue), dlg);
    ReadSetting(registry, key, SettingsValue(kPasswordValue), dlg);
    key.Close();
    return true;
}

} // namespace nv
