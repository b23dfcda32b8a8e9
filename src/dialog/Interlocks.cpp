// Which option controls are enabled and what they show: the model's capability against the
// saved values or the defaults, and the rules that keep the binding controls and the page
// range in step with duplex, collate and copies.
#include "dialog/PdfSendDlg.h"
#include "dialog/SettingsTemplate.h"
#include "resources/ResourceIds.h"
#include "settings/SettingsStore.h"

namespace nv {

namespace {

using platform::BST_CHECKED;
using platform::BST_UNCHECKED;
namespace ctl = res::ctl;

UINT checkState(BOOL ticked) {
    return ticked ? BST_CHECKED : BST_UNCHECKED;
}

bool isTicked(const platform::CheckBox* box) {
    return box->GetCheck() == BST_CHECKED;
}

} // namespace

int CPdfSendDlg::ReadPage(int controlId) const {
    return static_cast<int>(window_->GetDlgItemInt(controlId, nullptr, TRUE));
}

void CPdfSendDlg::WritePage(int controlId, int page) {
    window_->SetDlgItemInt(controlId, static_cast<UINT>(page), TRUE);
}

bool CPdfSendDlg::EndPageLeftOpen() const {
    return m_bOpenEndRange && m_pEndPageEdit->GetWindowText().empty();
}

// Reading a blank end page as a number and writing that back would turn it into 0, a page the
// checks then refuse, although on an open-end model the blank is a valid choice.
void CPdfSendDlg::WritePagesBack(bool endLeftOpen) {
    WritePage(ControlId(ctl::kStartPageEdit), m_nStartPage);
    if (endLeftOpen) {
        m_pEndPageEdit->SetWindowTextA("");
    } else {
        WritePage(ControlId(ctl::kEndPageEdit), m_nEndPage);
    }
}

void CPdfSendDlg::ShowLongEdge() {
    m_pBindingIcon->SetIcon(m_hIconLongEdge);
    m_pBindingList->SetCurSel(0);
    m_pBindingList->SelectString(-1, m_pBindingList->GetWindowText());
}

void CPdfSendDlg::ShowShortEdge() {
    m_pBindingIcon->SetIcon(m_hIconShortEdge);
    m_pBindingList->SetCurSel(1);
    m_pBindingList->SelectString(-1, m_pBindingList->GetWindowText());
    // The second selection goes by text, which finds the first item that begins with it: with
    // captions where the long-edge text begins with the short-edge one it would land on the
    // long edge while the picture shows the short one.
    if (m_pBindingList->GetCurSel() != 1) {
        m_pBindingList->SetCurSel(1);
    }
}

void CPdfSendDlg::EnablePageRangeGroup(BOOL enable) {
    m_pStartPageEdit->EnableWindow(enable);
    m_pEndPageEdit->EnableWindow(enable);
    m_pStartPageSpin->EnableWindow(enable);
    m_pEndPageSpin->EnableWindow(enable);
    m_pFromPageLabel->EnableWindow(enable);
    m_pToPageLabel->EnableWindow(enable);
}

void CPdfSendDlg::ApplyOptions(BOOL restore) {
    FillPaperSourceList(restore);

    m_pCopiesSpin->SetRange(kMinCopies, kMaxCopies);
    m_pCopiesSpin->SetPos(1);
    // Armed only now, so that the spin's first write into the copies edit goes unchecked.
    m_nCopies = 1;
    m_bCopiesReady = TRUE;

    m_pDuplexCheck->SetCheck(checkState(m_bCanDuplex && restore && m_bDuplex));
    m_pDuplexCheck->EnableWindow(m_bCanDuplex);

    ApplyBinding(restore);

    m_pCollateCheck->SetCheck(checkState(m_bCanCollate && (!restore || m_bCollate)));
    m_pCollateCheck->EnableWindow(m_bCanCollate);

    m_pFitToPageCheck->SetCheck(checkState(m_bCanFitToPage && (!restore || m_bFitToPage)));
    m_pFitToPageCheck->EnableWindow(m_bCanFitToPage);

    ApplyPageRange(restore);
    ApplyPassword(restore);
    EnforceRangeRules();
}

void CPdfSendDlg::ApplyBinding(BOOL restore) {
    const BOOL enable = restore && isTicked(m_pDuplexCheck) ? TRUE : FALSE;
    m_pBindingLabel->EnableWindow(enable);
    m_pBindingIcon->EnableWindow(enable);
    m_pBindingList->EnableWindow(enable);
    if (enable && m_nBinding != 0) {
        ShowShortEdge();
    } else {
        ShowLongEdge();
    }
}

void CPdfSendDlg::ApplyPageRange(BOOL restore) {
    // The initial 1s go in with the change checks of both edits held off.
    m_bPagesReady = TRUE;
    m_bStartReady = FALSE;
    m_bEndReady = FALSE;
    WritePage(ControlId(ctl::kStartPageEdit), 1);
    WritePage(ControlId(ctl::kEndPageEdit), 1);
    m_bStartReady = TRUE;
    m_bEndReady = TRUE;

    if (!m_bCanPageRange) {
        m_pPageRangeCheck->SetCheck(BST_UNCHECKED);
        m_pPageRangeCheck->EnableWindow(FALSE);
        EnablePageRangeGroup(FALSE);
        return;
    }
    if (!restore) {
        m_pPageRangeCheck->SetCheck(BST_UNCHECKED);
        m_pPageRangeCheck->EnableWindow(TRUE);
        EnablePageRangeGroup(FALSE);
        return;
    }
    m_pStartPageSpin->SetRange(kMinPage, kMaxPage);
    m_pEndPageSpin->SetRange(kMinPage, kMaxPage);
    if (!m_bRangeWithDuplex && isTicked(m_pDuplexCheck)) {
        m_pPageRangeCheck->SetCheck(BST_UNCHECKED);
        m_pPageRangeCheck->EnableWindow(FALSE);
        EnablePageRangeGroup(FALSE);
        return;
    }
    m_pPageRangeCheck->SetCheck(checkState(m_bPageRange));
    m_pPageRangeCheck->EnableWindow(TRUE);
    EnablePageRangeGroup(isTicked(m_pPageRangeCheck));
}

BOOL CPdfSendDlg::ApplyPassword(BOOL restore) {
    if (!m_bCanPassword) {
        m_pPasswordCheck->SetCheck(BST_UNCHECKED);
        m_pPasswordCheck->EnableWindow(FALSE);
        m_pPasswordEdit->EnableWindow(FALSE);
        m_pSavePasswordButton->EnableWindow(FALSE);
        m_pClearPasswordButton->EnableWindow(FALSE);
        m_pPasswordLabel->EnableWindow(FALSE);
        m_pPasswordEdit->SetWindowTextA("");
        return TRUE;
    }
    if (services_.registry == nullptr || !ReadSavedPassword(*services_.registry, *this)) {
        return FALSE;
    }
    const BOOL stored = m_strPassword.empty() ? FALSE : TRUE;
    if (!restore) {
        m_pPasswordCheck->SetCheck(BST_UNCHECKED);
        m_pPasswordEdit->SetWindowTextA("");
        m_pPasswordEdit->EnableWindow(FALSE);
        m_pSavePasswordButton->EnableWindow(FALSE);
        m_pClearPasswordButton->EnableWindow(stored);
        m_pPasswordLabel->EnableWindow(TRUE);
        return TRUE;
    }
    m_pPasswordCheck->EnableWindow(TRUE);
    if (m_bUsePassword) {
        m_pPasswordCheck->SetCheck(BST_CHECKED);
        m_pPasswordEdit->EnableWindow(TRUE);
        m_pSavePasswordButton->EnableWindow(TRUE);
        m_pPasswordLabel->EnableWindow(TRUE);
        m_pClearPasswordButton->EnableWindow(TRUE);
        m_pPasswordEdit->SetWindowTextA(m_strPassword);
    } else {
        m_pPasswordCheck->SetCheck(BST_UNCHECKED);
        m_pPasswordEdit->EnableWindow(FALSE);
        m_pSavePasswordButton->EnableWindow(FALSE);
        m_pPasswordLabel->EnableWindow(TRUE);
        m_pClearPasswordButton->EnableWindow(stored);
        m_pPasswordEdit->SetWindowTextA("");
    }
    return TRUE;
}

void CPdfSendDlg::EnforceRangeRules() {
    // A negative copies reading counts as many copies, as an unsigned comparison gives.
    const UINT copies = window_->GetDlgItemInt(ControlId(ctl::kCopiesEdit), nullptr, TRUE);
    const bool duplex = isTicked(m_pDuplexCheck);
    const bool collate = isTicked(m_pCollateCheck);
    const bool range = isTicked(m_pPageRangeCheck);
    const bool endLeftOpen = EndPageLeftOpen();

    m_nStartPage = ReadPage(ControlId(ctl::kStartPageEdit));
    m_nEndPage = ReadPage(ControlId(ctl::kEndPageEdit));

    m_pPageRangeCheck->SetCheck(checkState(range));
    m_pPageRangeCheck->EnableWindow(m_bCanPageRange);
    EnablePageRangeGroup(range ? TRUE : FALSE);

    WritePagesBack(endLeftOpen);

    if (m_bRangeWithCopies && m_bRangeWithDuplex) {
        return;
    }
    if (!m_bRangeWithDuplex && duplex) {
        DisablePageRange();
        return;
    }
    if (!m_bRangeWithCopies && copies > 1 && !collate) {
        DisablePageRange();
    }
}

void CPdfSendDlg::DisablePageRange() {
    const bool endLeftOpen = EndPageLeftOpen();
    m_nStartPage = ReadPage(ControlId(ctl::kStartPageEdit));
    m_nEndPage = ReadPage(ControlId(ctl::kEndPageEdit));

    m_pPageRangeCheck->SetCheck(BST_UNCHECKED);
    m_pPageRangeCheck->EnableWindow(FALSE);
    EnablePageRangeGroup(FALSE);
    WritePagesBack(endLeftOpen);
}

void CPdfSendDlg::OnDefaults() {
    ApplyOptions(FALSE);
}

void CPdfSendDlg::OnDuplexCheck() {
    m_bDuplex = static_cast<BOOL>(m_pDuplexCheck->GetCheck());
    const BOOL ticked = m_bDuplex == BST_CHECKED ? TRUE : FALSE;
    m_pBindingLabel->EnableWindow(ticked);
    m_pBindingList->EnableWindow(ticked);
    EnforceRangeRules();
}

void CPdfSendDlg::OnCollateCheck() {
    m_bCollate = static_cast<BOOL>(m_pCollateCheck->GetCheck());
    EnforceRangeRules();
}

void CPdfSendDlg::OnPageRangeCheck() {
    EnablePageRangeGroup(isTicked(m_pPageRangeCheck) ? TRUE : FALSE);
    // The positions go in whole: cut to 16 bits, a page such as 70000 would come back as the
    // valid-looking 4464.
    m_pStartPageSpin->SetPos32(m_nStartPage);
    // -1 stands for a blank end page (to the last page); the spin would put its lowest
    // position there instead, so the blank is kept.
    if (!(m_bOpenEndRange && m_nEndPage == -1)) {
        m_pEndPageSpin->SetPos32(m_nEndPage);
    }
}

void CPdfSendDlg::OnPasswordCheck() {
    const BOOL ticked = isTicked(m_pPasswordCheck) ? TRUE : FALSE;
    m_pPasswordEdit->EnableWindow(ticked);
    m_pSavePasswordButton->EnableWindow(ticked);
}

void CPdfSendDlg::OnSelchangeBinding() {
    if (m_pBindingList->GetCurSel() == 0) {
        ShowLongEdge();
    } else {
        ShowShortEdge();
    }
}

} // namespace nv
