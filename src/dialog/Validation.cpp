// Checks of what the user types into the copies and page edits, the harvesting of the controls
// into the job state, the validation of that state before a save or a print, and the steps of
// Print that come before the job.
#include "app/PdfSendApp.h"
#include "dialog/PdfSendDlg.h"
#include "dialog/SettingsTemplate.h"
#include "job/PjlText.h"
#include "printer/CapabilityFile.h"
#include "resources/ResourceIds.h"

namespace nv {

namespace {

using platform::BST_CHECKED;
namespace ctl = res::ctl;
namespace str = res::str;

constexpr std::size_t kMaxPasswordBytes = 128;
constexpr UINT kWarning = platform::MB_OK | platform::MB_ICONEXCLAMATION;
constexpr UINT kQuestion = platform::MB_YESNO | platform::MB_ICONINFORMATION;
constexpr const char* kDefaultTrayKey = "AutoTray";

} // namespace

void CPdfSendDlg::OnChangeCopies() {
    if (!m_bCopiesReady) {
        return;
    }
    const UINT copies = window_->GetDlgItemInt(ControlId(ctl::kCopiesEdit), nullptr, TRUE);
    if (!CopiesInRange(copies)) {
        ShowMessage(str::kBadCopies, str::kWarningCaption, kWarning);
    }
    EnforceRangeRules();
}

void CPdfSendDlg::OnChangeStartPage() {
    if (!m_bPagesReady || !m_bStartReady) {
        return;
    }
    const int page = ReadPage(ControlId(ctl::kStartPageEdit));
    if (page < kMinPage || page > kMaxPage) {
        ShowMessage(str::kBadPageRange, str::kWarningCaption, kWarning);
    }
    m_nStartPage = page;
}

void CPdfSendDlg::OnChangeEndPage() {
    if (!m_bPagesReady || !m_bEndReady) {
        return;
    }
    const int page = ReadPage(ControlId(ctl::kEndPageEdit));
    if (!m_bOpenEndRange) {
        if (page < kMinPage) {
            ShowMessage(str::kBadPageRange, str::kWarningCaption, kWarning);
        }
        if (page > kMaxPage) {
            ShowMessage(str::kBadPageRange, str::kWarningCaption, kWarning);
        } else {
            m_nEndPage = page;
        }
        return;
    }
    if (page > kMaxPage) {
        ShowMessage(str::kBadPageRange, str::kWarningCaption, kWarning);
    } else if (page < kMinPage) {
        if (m_pEndPageEdit->GetWindowText().empty()) {
            m_nEndPage = -1;
        } else {
            ShowMessage(str::kBadPageRange, str::kWarningCaption, kWarning);
        }
    } else {
        // Recorded so that re-ticking the page range puts this page back rather than the
        // blank's stand-in.
        m_nEndPage = page;
    }
}

CString CPdfSendDlg::TrayKeyFor(const CString& paperFeed) const {
    for (const TrayKey& tray : kTrayKeys) {
        if (paperFeed == LoadString(tray.textId)) {
            return tray.key;
        }
    }
    return kDefaultTrayKey;
}

BOOL CPdfSendDlg::HarvestOptions() {
    m_strPaperFeed = m_pPaperSourceList->GetWindowText();
    m_strTrayKey = TrayKeyFor(m_strPaperFeed);
    m_nCopies = window_->GetDlgItemInt(ControlId(ctl::kCopiesEdit), nullptr, TRUE);
    m_bDuplex = static_cast<BOOL>(m_pDuplexCheck->GetCheck());
    m_nBinding = m_pBindingList->GetCurSel();
    m_bCollate = static_cast<BOOL>(m_pCollateCheck->GetCheck());
    m_bFitToPage = static_cast<BOOL>(m_pFitToPageCheck->GetCheck());
    m_bPageRange = static_cast<BOOL>(m_pPageRangeCheck->GetCheck());
    m_nStartPage = ReadPage(ControlId(ctl::kStartPageEdit));
    if (EndPageLeftOpen()) {
        m_nEndPage = -1;
    } else {
        m_nEndPage = ReadPage(ControlId(ctl::kEndPageEdit));
    }
    m_bUsePassword = static_cast<BOOL>(m_pPasswordCheck->GetCheck());
    m_strPassword = m_bUsePassword == BST_CHECKED ? m_pPasswordEdit->GetWindowText() : CString();
    return TRUE;
}

BOOL CPdfSendDlg::ValidateOptions() {
    if (!CopiesInRange(m_nCopies)) {
        ShowMessage(str::kBadCopies, str::kWarningCaption, kWarning);
        return FALSE;
    }
    // -1 is "to the last page" only on a model that offers it; elsewhere it is a page
    // number like any other (a pasted "-1") and is refused. To the last page still needs a
    // start page in range.
    const bool toLastPage = m_nEndPage == -1 && m_bOpenEndRange;
    const bool valid = toLastPage ? m_nStartPage >= kMinPage && m_nStartPage <= kMaxPage
                                  : IsPageRangeValid(m_nStartPage, m_nEndPage) != FALSE;
    if (!valid) {
        ShowMessage(str::kBadPageRange, str::kWarningCaption, kWarning);
        return FALSE;
    }
    if (m_bUsePassword && !IsPasswordValid()) {
        return FALSE;
    }
    return TRUE;
}

BOOL CPdfSendDlg::IsPageRangeValid(int start, int end) const {
    return start >= kMinPage && start <= kMaxPage && end >= kMinPage && end <= kMaxPage &&
                   start <= end
               ? TRUE
               : FALSE;
}

BOOL CPdfSendDlg::IsPasswordValid() const {
    // A password the job header cannot carry unchanged (a byte that would break its line, a
    // character the printer's code page lacks, or an escaped form longer than the printer's
    // password command holds) would not open the document: it is refused here, with the same
    // message as a wrong length.
    if (!m_strPassword.empty() && m_strPassword.size() <= kMaxPasswordBytes &&
        PjlPassword(m_strPassword) && HeaderCanCarryPassword(m_strPassword)) {
        return TRUE;
    }
    ShowMessage(str::kBadPassword, str::kWarningCaption, kWarning);
    return FALSE;
}

void CPdfSendDlg::OnSaveSettings() {
    HarvestOptions();
    if (ValidateOptions()) {
        SavePrinterSettings(m_strPrinterName);
    }
}

BOOL CPdfSendDlg::PrepareJob() {
    const int version = m_pApp != nullptr ? m_pApp->CheckPdfVersion(m_strDriverName, m_strCapFile)
                                          : kVersionUnchecked;
    if (version == kVersionUnchecked) {
        ShowMessage(str::kFileCannotOpen, str::kErrorCaption, kWarning);
        return FALSE;
    }
    if (version == kVersionTooNew &&
        ShowMessage(str::kVersionQuestion, str::kWarningCaption, kQuestion) != platform::IDYES) {
        return FALSE;
    }
    HarvestOptions();
    return ValidateOptions();
}

void CPdfSendDlg::OnPrint() {
    if (m_bModelUnsupported) {
        ShowMessage(str::kBadPrinterType, str::kErrorCaption,
                    platform::MB_ICONEXCLAMATION | platform::MB_OK);
        return;
    }
    if (!PrepareJob()) {
        return;
    }
    GetJobOwnerInfo();
    if (SendJob()) {
        OnOK();
    } else {
        ReportJobFailure();
    }
}

} // namespace nv
