#include "printer/CapabilityFile.h"

#include "platform/profile/Profile.h"

#include <vector>

namespace nv {

CString ReadCapabilityText(const CString& capFile, const CString& section, const char* key,
                           const char* defaultValue, DWORD size) {
    std::vector<char> buffer(size + 1, '\0');
    platform::GetPrivateProfileStringA(section.c_str(), key, defaultValue, buffer.data(), size,
                                       capFile.c_str());
    return CString(buffer.data());
}

std::vector<TrayKey> OfferedPaperSources(const CString& capFile, const CString& driverName) {
    const CString section = LookUpPaperSourceSection(capFile, driverName);
    std::vector<TrayKey> offered;
    for (const TrayKey& tray : kTrayKeys) {
        const int value = static_cast<int>(
            platform::GetPrivateProfileIntA(section.c_str(), tray.key, -1, capFile.c_str()));
        if (value != -1) {
            offered.push_back(tray);
        }
    }
    return offered;
}

CString LookUpModelSection(const CString& capFile, const CString& driverName) {
    return ReadCapabilityText(capFile, "Capability", driverName.c_str(), kCapabilityNone);
}

CString LookUpPaperSourceSection(const CString& capFile, const CString& driverName) {
    return ReadCapabilityText(capFile, LookUpModelSection(capFile, driverName), "TrayCom",
                              kCapabilityNone);
}

CString ReadPrinterPdfVersion(const CString& capFile, const CString& driverName) {
    CString version = ReadCapabilityText(capFile, LookUpModelSection(capFile, driverName),
                                         "PDFVersion", "UnKnown");
    if (version == "UnKnown") {
        version = "1.3";
    }
    return version;
}

} // namespace nv
