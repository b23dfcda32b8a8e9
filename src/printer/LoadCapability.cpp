// The capability readers of the print-settings dialog: the model's printer type and option
// flags, and the paper-source list.
#include "dialog/PdfSendDlg.h"
#include "platform/profile/Profile.h"
#include "platform/ui/ComboBox.h"
#include "printer/CapabilityFile.h"
#include "resources/ResourceIds.h"

#include <cstddef>

namespace nv {

namespace {

BOOL bit(UINT value, UINT mask) {
    return (value & mask) != 0 ? TRUE : FALSE;
}

} // namespace

int CPdfSendDlg::LoadCapability(CString driverName, CString capFile) {
    const CString model = LookUpModelSection(capFile, driverName);
    const UINT printerType =
        platform::GetPrivateProfileIntA(model.c_str(), "DPTray", 0, capFile.c_str());
    if (printerType > kMaxPrinterType) {
        ShowMessage(res::str::kBadPrinterType, res::str::kErrorCaption,
                    platform::MB_ICONEXCLAMATION | platform::MB_OK);
        return 0;
    }
    m_nPrinterType = printerType;

    const UINT flags =
        platform::GetPrivateProfileIntA(model.c_str(), "DirectPrint", 0, capFile.c_str());
    if (flags == 0) {
        return 0;
    }
    m_bCanCollate = bit(flags, kDirectPrintCollate);
    m_bCanDuplex = bit(flags, kDirectPrintDuplex);
    m_bRangeWithDuplex = bit(flags, kDirectPrintRangeWithDuplex);
    m_bCanPageRange = bit(flags, kDirectPrintNoPageRange) ? FALSE : TRUE;
    m_bCanFitToPage = bit(flags, kDirectPrintNoFitToPage) ? FALSE : TRUE;
    m_bOpenEndRange = bit(flags, kDirectPrintOpenEndRange);
    m_bCanPassword = bit(flags, kDirectPrintPassword);
    m_bRangeWithCopies = bit(flags, kDirectPrintRangeWithCopies);

    const CString jobInfoDll = ReadCapabilityText(capFile, model, "JobInfoDll", kCapabilityNone);
    if (jobInfoDll != kCapabilityNone) {
        m_bHasJobInfoDll = TRUE;
        m_strJobInfoDll = jobInfoDll;
    } else {
        m_bHasJobInfoDll = FALSE;
        m_strJobInfoDll.clear();
    }
    return 1;
}

int CPdfSendDlg::FillPaperSourceList(int useSaved) {
    platform::ComboBox* list = m_pPaperSourceList;
    if (list == nullptr) {
        return 1; // no list to fill: the dialog has no window
    }
    if (list->GetCount() > 0) {
        list->ResetContent();
    }
    const CString section = LookUpPaperSourceSection(m_strCapFile, m_strDriverName);
    for (const TrayKey& tray : kTrayKeys) {
        const int value = static_cast<int>(
            platform::GetPrivateProfileIntA(section.c_str(), tray.key, -1, m_strCapFile.c_str()));
        if (value != -1) {
            list->InsertString(list->GetCount(), LoadString(tray.textId));
        }
    }

    CString selection;
    list->GetLBText(0, selection);
    if (useSaved == 0) {
        m_strPaperFeed = selection;
    } else if (!m_strPaperFeed.empty()) {
        selection = m_strPaperFeed;
    }
    list->SelectString(-1, selection);
    if (list->GetCurSel() == -1 && list->GetCount() > 0) {
        list->SetCurSel(0);
    }
    return 1;
}

} // namespace nv
