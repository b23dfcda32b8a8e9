// The capability file of a printer model: an INI file with a "Capability" section that names
// each supported driver's model section, the model sections themselves, and the paper-source
// sections they name. Every value is read afresh from the file when it is needed.
#pragma once

#include "platform/wintypes.h"
#include "resources/ResourceIds.h"

#include <array>
#include <vector>

namespace nv {

// Texts from the file are read into buffers of this size (values of at most 259 bytes).
inline constexpr DWORD kCapabilityTextSize = 260;
// The value every missing section name or library name reads as.
inline constexpr const char* kCapabilityNone = "No";

// "DirectPrint" bits.
inline constexpr UINT kDirectPrintSupported = 0x1;
inline constexpr UINT kDirectPrintCollate = 0x2;
inline constexpr UINT kDirectPrintDuplex = 0x4;
inline constexpr UINT kDirectPrintRangeWithDuplex = 0x8;
inline constexpr UINT kDirectPrintNoPageRange = 0x10;
inline constexpr UINT kDirectPrintNoFitToPage = 0x20;
inline constexpr UINT kDirectPrintOpenEndRange = 0x80;
inline constexpr UINT kDirectPrintPassword = 0x100;
inline constexpr UINT kDirectPrintRangeWithCopies = 0x200;

// The tray keys of a paper-source section, in the order the list offers them, with the string
// IDs of their display texts.
struct TrayKey {
    const char* key;
    UINT textId;
};
inline constexpr std::array<TrayKey, 8> kTrayKeys = {{
    {"AutoTray", res::str::kTrayAuto},
    {"Tray1", res::str::kTray1},
    {"Tray2", res::str::kTray2},
    {"Tray3", res::str::kTray3},
    {"Tray4", res::str::kTray4},
    {"Tray5", res::str::kTray5},
    {"Multi Purpose Tray", res::str::kTrayMultiPurpose},
    {"Manual Feed", res::str::kTrayManualFeed},
}};

// The paper sources DRIVERNAME's model offers (its paper-source section has the key), in the
// order of kTrayKeys.
std::vector<TrayKey> OfferedPaperSources(const CString& capFile, const CString& driverName);

// Reads KEY of SECTION in CAPFILE as text into a buffer of SIZE bytes, DEFAULTVALUE when absent.
CString ReadCapabilityText(const CString& capFile, const CString& section, const char* key,
                           const char* defaultValue, DWORD size = kCapabilityTextSize);

// The model section of DRIVERNAME: its value in section "Capability", "No" when absent.
CString LookUpModelSection(const CString& capFile, const CString& driverName);

// The paper-source section of DRIVERNAME's model: its "TrayCom" value, "No" when absent.
CString LookUpPaperSourceSection(const CString& capFile, const CString& driverName);

// The newest PDF version DRIVERNAME's model prints, as the file gives it: "PDFVersion" of the
// model section, with an absent value (read as "UnKnown") taken as "1.3". May be empty.
CString ReadPrinterPdfVersion(const CString& capFile, const CString& driverName);

} // namespace nv
