#include "settings/SettingsStore.h"

#include <algorithm>
#include <array>
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

// Runs USE on the settings key, closed again afterwards; false when it cannot be opened.
template <typename Use>
bool withSettingsKey(platform::IRegistry& registry, Use use) {
    platform::RegistryKey key;
    if (!OpenSettingsKey(registry, key)) {
        return false;
    }
    use(key);
    key.Close();
    return true;
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
                 const SettingValue& value, JobOptions& options) {
    if (value.text != nullptr) {
        options.*value.text =
            ReadTextValue(registry, key, value.name, value.readSize).value_or(CString());
    } else if (value.number != nullptr) {
        options.*value.number = static_cast<int>(
            ReadNumberValue(registry, key, value.name).value_or(value.defaultNumber));
    }
}

bool TransferPrinterSettings(platform::IRegistry& registry, const CString& printerName,
                             JobOptions& options, Transfer direction) {
    platform::RegistryKey key;
    if (!OpenPrinterKey(registry, printerName, key)) {
        return false;
    }
    if (direction == Transfer::save) {
        // The whole key in one write: two saves that meet (another instance, or this one
        // killed halfway) leave one of them, never some values of each.
        std::vector<const SettingValue*> rows;
        for (const SettingValue& value : kSettingValues) {
            if (value.key == SettingsKeyKind::printer) {
                rows.push_back(&value);
            }
        }
        WriteSettings(registry, key, rows, options);
    } else {
        for (const SettingValue& value : kSettingValues) {
            if (value.key == SettingsKeyKind::printer) {
                ReadSetting(registry, key, value, options);
            }
        }
    }
    key.Close();
    return true;
}

void SetSettingDefaults(JobOptions& options) {
    for (const SettingValue& value : kSettingValues) {
        if (value.key != SettingsKeyKind::printer) {
            continue;
        }
        if (value.text != nullptr) {
            options.*value.text = CString();
        } else if (value.number != nullptr) {
            options.*value.number = static_cast<int>(value.defaultNumber);
        }
    }
}

LONG WriteSetting(platform::IRegistry& registry, const platform::RegistryKey& key,
                  const SettingValue& value, const JobOptions& options) {
    const SettingValue* row = &value;
    return WriteSettings(registry, key, SettingRows(&row, 1), options);
}

LONG WriteSettings(platform::IRegistry& registry, const platform::RegistryKey& key,
                   SettingRows rows, const JobOptions& options) {
    std::vector<platform::RegistryValueWrite> writes;
    std::vector<std::array<std::uint8_t, kNumberSize>> numbers(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const SettingValue& value = *rows[i];
        if (value.text != nullptr) {
            writes.push_back(platform::IRegistry::StringValue(value.name, options.*value.text));
        } else if (value.number != nullptr) {
            writes.push_back(platform::IRegistry::DwordValue(
                value.name, static_cast<DWORD>(options.*value.number), numbers[i]));
        } else {
            return platform::ERROR_INVALID_PARAMETER;
        }
    }
    return registry.SetValues(key, writes);
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
    CString stored;
    if (!withSettingsKey(registry, [&](const platform::RegistryKey& key) {
            stored = ReadTextValue(registry, key, kPrinterValue, kPrinterNameReadSize)
                         .value_or(CString());
        })) {
        return std::nullopt;
    }
    return FromCommaForm(stored);
}

bool ReadSavedPassword(platform::IRegistry& registry, JobOptions& options) {
    return withSettingsKey(registry, [&](const platform::RegistryKey& key) {
        ReadSetting(registry, key, SettingsValue(kPasswordFlagValue), options);
        ReadSetting(registry, key, SettingsValue(kPasswordValue), options);
    });
}

bool SaveChosenPrinter(platform::IRegistry& registry, const CString& printerName) {
    return withSettingsKey(registry, [&](const platform::RegistryKey& key) {
        registry.SetStringValue(key, kPrinterValue, CommaForm(printerName));
    });
}

bool SavePassword(platform::IRegistry& registry, const JobOptions& options) {
    return withSettingsKey(registry, [&](const platform::RegistryKey& key) {
        const SettingValue* rows[] = {&SettingsValue(kPasswordValue),
                                      &SettingsValue(kPasswordFlagValue)};
        WriteSettings(registry, key, rows, options);
    });
}

bool ForgetPassword(platform::IRegistry& registry) {
    return withSettingsKey(registry, [&](const platform::RegistryKey& key) {
        // A value that is not there is no error.
        registry.DeleteValue(key, kPasswordValue);
        registry.DeleteValue(key, kPasswordFlagValue);
    });
}

} // namespace nv
