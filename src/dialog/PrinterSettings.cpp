// The dialog's operations on the per-user settings: the options saved per printer, the last
// saved printer, and the saved PDF password.
#include "dialog/PdfSendDlg.h"
#include "settings/SettingsStore.h"

namespace nv {

int CPdfSendDlg::SavePrinterSettings(CString printerName) {
    if (services_.registry == nullptr || !SaveChosenPrinter(*services_.registry, printerName)) {
        return 0;
    }
    return TransferPrinterSettings(*services_.registry, printerName, *this, Transfer::save) ? 1 : 0;
}

int CPdfSendDlg::LoadPrinterSettings(CString printerName) {
    if (services_.registry == nullptr) {
        return 0;
    }
    return TransferPrinterSettings(*services_.registry, printerName, *this, Transfer::load) ? 1 : 0;
}

void CPdfSendDlg::OnSavePassword() {
    m_strPassword = m_pPasswordEdit->GetWindowText();
    m_bUsePassword = static_cast<BOOL>(m_pPasswordCheck->GetCheck());
    // The same test as before a print: a password the job header could not carry is refused
    // here too, rather than stored for a print that would refuse it.
    if (!IsPasswordValid()) {
        return;
    }
    if (services_.registry != nullptr && SavePassword(*services_.registry, *this)) {
        m_pClearPasswordButton->EnableWindow(TRUE);
    }
}

void CPdfSendDlg::OnClearPassword() {
    if (services_.registry != nullptr && ForgetPassword(*services_.registry)) {
        m_pClearPasswordButton->EnableWindow(FALSE);
    }
}

} // namespace nv
