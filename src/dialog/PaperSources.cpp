// The chosen printer's capability taken into the dialog, and its paper-source list.
#include "dialog/PdfSendDlg.h"
#include "job/JobHeader.h"
#include "platform/ui/ComboBox.h"
#include "printer/Capability.h"
#include "printer/CapabilityFile.h"
#include "resources/ResourceIds.h"

namespace nv {

int CPdfSendDlg::LoadCapability(CString driverName, CString capFile) {
    const CapabilityRead read = ReadCapability(driverName, capFile, *this);
    // The members still hold the previous model's dialect after an unknown type: the printer
    // must not be printed to with them.
    m_bModelUnsupported = read == CapabilityRead::unknownType ? TRUE : FALSE;
    switch (read) {
    case CapabilityRead::taken:
        // A range the job header would leave out is not offered: the dialog treats the model
        // as one without page range, rather than print the whole document as if it had one.
        if (!HeaderCarriesPageRange(m_nPrinterType, m_bOpenEndRange)) {
            m_bCanPageRange = FALSE;
        }
        return 1;
    case CapabilityRead::typeOnly:
        return 0;
    case CapabilityRead::unknownType:
        break;
    }
    ShowMessage(res::str::kBadPrinterType, res::str::kErrorCaption,
                platform::MB_ICONEXCLAMATION | platform::MB_OK);
    return 0;
}

void CPdfSendDlg::FillPaperSourceList(int useSaved) {
    platform::ComboBox* list = m_pPaperSourceList;
    if (list == nullptr) {
        return; // no list to fill: the dialog has no window
    }
    if (list->GetCount() > 0) {
        list->ResetContent();
    }
    for (const TrayKey& tray : OfferedPaperSources(m_strCapFile, m_strDriverName)) {
        list->InsertString(list->GetCount(), LoadString(tray.textId));
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
}

} // namespace nv
