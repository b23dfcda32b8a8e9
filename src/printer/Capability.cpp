#include "printer/Capability.h"

#include "platform/profile/Profile.h"
#include "printer/CapabilityFile.h"

namespace nv {

namespace {

BOOL bit(UINT value, UINT mask) {
    return (value & mask) != 0 ? TRUE : FALSE;
}

} // namespace

CapabilityRead ReadCapability(const CString& driverName, const CString& capFile,
                              PrinterCapability& capability) {
    const CString model = LookUpModelSection(capFile, driverName);
    const UINT printerType =
        platform::GetPrivateProfileIntA(model.c_str(), "DPTray", 0, capFile.c_str());
    if (printerType > kMaxPrinterType) {
        return CapabilityRead::unknownType;
    }
    capability.m_nPrinterType = static_cast<PrinterDialect>(printerType);

    const UINT flags =
        platform::GetPrivateProfileIntA(model.c_str(), "DirectPrint", 0, capFile.c_str());
    if (flags == 0) {
        return CapabilityRead::typeOnly;
    }
    capability.m_bCanCollate = bit(flags, kDirectPrintCollate);
    capability.m_bCanDuplex = bit(flags, kDirectPrintDuplex);
    capability.m_bRangeWithDuplex = bit(flags, kDirectPrintRangeWithDuplex);
    capability.m_bCanPageRange = bit(flags, kDirectPrintNoPageRange) ? FALSE : TRUE;
    capability.m_bCanFitToPage = bit(flags, kDirectPrintNoFitToPage) ? FALSE : TRUE;
    capability.m_bOpenEndRange = bit(flags, kDirectPrintOpenEndRange);
    capability.m_bCanPassword = bit(flags, kDirectPrintPassword);
    capability.m_bRangeWithCopies = bit(flags, kDirectPrintRangeWithCopies);

    const CString jobInfoDll = ReadCapabilityText(capFile, model, "JobInfoDll", kCapabilityNone);
    capability.m_bHasJobInfoDll = jobInfoDll != kCapabilityNone ? TRUE : FALSE;
    capability.m_strJobInfoDll = capability.m_bHasJobInfoDll ? jobInfoDll : CString();
    return CapabilityRead::taken;
}

} // namespace nv
