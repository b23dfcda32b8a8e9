// Reading and writing the per-user settings of SettingsSchema.h on the registry layer. Every
// operation opens its key (creating it and its parents when absent) and closes it before it
// returns; a key that cannot be opened ends the operation without a message.
#pragma once

#include "platform/registry/Registry.h"
#include "platform/wintypes.h"
#include "settings/SettingsSchema.h"

#include <optional>
#include <span>

namespace nv {

// NAME with every backslash turned into a comma: a key name cannot hold a backslash. The
// saved "Printer" value holds the same form.
CString CommaForm(const CString& name);
// The comma form turned back: every comma becomes a backslash.
CString FromCommaForm(const CString& stored);

// Opens the settings key or the key of printer PRINTERNAME with full access, creating it when
// absent. False (KEY closed) when it cannot be opened.
bool OpenSettingsKey(platform::IRegistry& registry, platform::RegistryKey& key);
bool OpenPrinterKey(platform::IRegistry& registry, const CString& printerName,
                    platform::RegistryKey& key);

// Reads value NAME as text: its size first, then at most READSIZE bytes (NUL included); the
// text ends at the first NUL or with the stored bytes, whichever comes first. Nothing when the
// value is absent, unreadable or larger than READSIZE.
std::optional<CString> ReadTextValue(platform::IRegistry& registry,
                                     const platform::RegistryKey& key, const char* name,
                                     DWORD readSize);
// Reads value NAME as a 4-byte number; nothing when absent, unreadable or not 4 bytes long.
std::optional<DWORD> ReadNumberValue(platform::IRegistry& registry,
                                     const platform::RegistryKey& key, const char* name);

// Reads row VALUE of the schema into its option of OPTIONS, its default when it cannot be read.
void ReadSetting(platform::IRegistry& registry, const platform::RegistryKey& key,
                 const SettingValue& value, JobOptions& options);
enum class Transfer { load, save };
// Opens the key of PRINTERNAME and reads every row of the printer key into its option of OPTIONS
// (load) or writes them from their options in the table's order (save); the result of each
// single write is not looked at. False when the key cannot be opened (nothing transferred).
bool TransferPrinterSettings(platform::IRegistry& registry, const CString& printerName,
                             JobOptions& options, Transfer direction);

// Sets every option of the printer key's rows to its default, the values a printer without
// saved options gets.
void SetSettingDefaults(JobOptions& options);
// Writes row VALUE of the schema from its option of OPTIONS; the result is the registry's.
LONG WriteSetting(platform::IRegistry& registry, const platform::RegistryKey& key,
                  const SettingValue& value, const JobOptions& options);
// Writes ROWS of the schema from their options of OPTIONS in one IRegistry::SetValues, in the
// order given; the result is the registry's.
using SettingRows = std::span<const SettingValue* const>;
LONG WriteSettings(platform::IRegistry& registry, const platform::RegistryKey& key,
                   SettingRows rows, const JobOptions& options);

// The saved printer name with its backslashes restored (empty when none is stored); nothing
// when the settings key cannot be opened.
std::optional<CString> ReadSavedPrinter(platform::IRegistry& registry);

// Reads "Password Flag" into m_bUsePassword and "Password" into m_strPassword of OPTIONS (0 and
// empty when they cannot be read). False, with both unchanged, when the settings key cannot
// be opened.
bool ReadSavedPassword(platform::IRegistry& registry, JobOptions& options);

// Stores PRINTERNAME as "Printer" (in the comma form).
bool SaveChosenPrinter(platform::IRegistry& registry, const CString& printerName);
// Stores "Password" and "Password Flag" from OPTIONS.
bool SavePassword(platform::IRegistry& registry, const JobOptions& options);
// Deletes "Password" and "Password Flag".
bool ForgetPassword(platform::IRegistry& registry);
// Each of the three is false, with nothing written, when the settings key cannot be opened.

// The schema row of value NAME of the settings key (which must be there).
const SettingValue& SettingsValue(const char* name);

} // namespace nv
