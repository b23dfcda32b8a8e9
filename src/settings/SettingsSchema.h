// Where the per-user settings live and what they hold: the settings key with the last saved
// printer and the saved PDF password, and one key per printer with its saved options. Every
// value is one row of kSettingValues: its key, name, type, default, how many bytes are read
// and the job option it is read into and written from.
#pragma once

#include "job/JobOptions.h"
#include "platform/registry/Registry.h"
#include "platform/wintypes.h"

#include <array>

namespace nv {

// Below HKEY_CURRENT_USER.
inline constexpr const char* kSettingsBaseKey = "Software\\VELMORA\\Velmora Quillet\\Norvane";
inline constexpr const char* kSettingsKeyName = "Settings";

enum class SettingsKeyKind {
    settings, // base key \ "Settings"
    printer,  // base key \ printer name in the comma form
};

struct SettingValue {
    SettingsKeyKind key;
    const char* name;
    DWORD type;                // REG_SZ or REG_DWORD
    DWORD defaultNumber;       // REG_DWORD: the value when absent or unreadable
    DWORD readSize;            // REG_SZ: the most bytes read, NUL included
    CString JobOptions::*text; // REG_SZ: the option (null: read by its own caller)
    int JobOptions::*number;   // REG_DWORD: the option
};

// Bytes of the buffers the texts are read into. A stored text that does not fit reads as
// absent. A REG_SZ default is always the empty text.
inline constexpr DWORD kPrinterNameReadSize = 260;
inline constexpr DWORD kPaperFeedReadSize = 261;
inline constexpr DWORD kPasswordReadSize = 260;

inline constexpr const char* kPrinterValue = "Printer";
inline constexpr const char* kPasswordValue = "Password";
inline constexpr const char* kPasswordFlagValue = "Password Flag";

// The printer key's rows are written in this order.
inline constexpr std::array<SettingValue, 9> kSettingValues = {{
    {SettingsKeyKind::settings, kPrinterValue, platform::REG_SZ, 0, kPrinterNameReadSize, nullptr,
     nullptr},
    {SettingsKeyKind::settings, kPasswordValue, platform::REG_SZ, 0, kPasswordReadSize,
     &JobOptions::m_strPassword, nullptr},
    {SettingsKeyKind::settings, kPasswordFlagValue, platform::REG_DWORD, 0, 4, nullptr,
     &JobOptions::m_bUsePassword},
    {SettingsKeyKind::printer, "PaperFeed", platform::REG_SZ, 0, kPaperFeedReadSize,
     &JobOptions::m_strPaperFeed, nullptr},
    {SettingsKeyKind::printer, "Duplex", platform::REG_DWORD, 0, 4, nullptr,
     &JobOptions::m_bDuplex},
    {SettingsKeyKind::printer, "Binding", platform::REG_DWORD, 0, 4, nullptr,
     &JobOptions::m_nBinding},
    {SettingsKeyKind::printer, "FitToPage", platform::REG_DWORD, 1, 4, nullptr,
     &JobOptions::m_bFitToPage},
    {SettingsKeyKind::printer, "Qty", platform::REG_DWORD, 1, 4, nullptr, &JobOptions::m_bCollate},
    {SettingsKeyKind::printer, "SetPage", platform::REG_DWORD, 0, 4, nullptr,
     &JobOptions::m_bPageRange},
}};

} // namespace nv
