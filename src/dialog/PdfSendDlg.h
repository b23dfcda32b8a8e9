// The print-settings dialog: the whole state of one print job (the chosen printer, what its
// model can do, the options picked, the guards of the edit checks and the handles of a running
// attempt) and the operations that read capability files and compose the job.
#pragma once

#include "job/JobOwnerAbi.h"
#include "job/JobWriter.h"
#include "platform/modules/Modules.h"
#include "platform/ui/MessageBox.h"
#include "platform/wintypes.h"

#include <memory>

namespace nv {

class CPdfSendApp;

namespace platform {
class ComboBox;
}

// The collaborators the dialog works with, handed in by whoever builds it.
struct DialogServices {
    platform::IMessageBox* messageBox = nullptr;         // every message box goes here
    const platform::ResourceModule* resources = nullptr; // the resource library: texts by ID
};

class CPdfSendDlg {
public:
    CPdfSendDlg(CPdfSendApp* app, const DialogServices& services);
    CPdfSendDlg(const CPdfSendDlg&) = delete;
    CPdfSendDlg& operator=(const CPdfSendDlg&) = delete;
    ~CPdfSendDlg();

    // Takes over the printer type and the capability flags of the model that the capability
    // file m_strCapFile gives the driver m_strDriverName (callers pass those two members).
    // Returns 1 when the type and flags were taken over; 0 when the type is above 4 (message
    // 1514 is shown and nothing changes) or "DirectPrint" is 0 (only the type changes).
    int LoadCapability(CString driverName, CString capFile);

    // Refills the paper-source list m_pPaperSourceList (when there is one) with the model's paper
    // sources in the fixed tray order and selects one: the saved m_strPaperFeed when USESAVED is
    // non-zero and it is offered, else the top entry (which becomes m_strPaperFeed when USESAVED is
    // 0). Returns 1.
    int FillPaperSourceList(int useSaved);

    // Gathers the job owner for the next header: the job-info library's command when the model
    // names one, else the job-log library's account and user name, else the user the process
    // runs as. Side libraries are loaded from m_strDriverDir and freed before it returns.
    // Returns 1 in every case.
    int GetJobOwnerInfo();

    // Composes the PJL job header of m_nPrinterType from the options and the templates of
    // m_hCmdLib and writes it into m_hPrinter in one write. Returns 1 when every byte was
    // accepted; 0 when the write failed or a piece cannot be composed within its buffer (the
    // header is then not sent at all).
    int SendJobHeader();

    // The pieces of the header. Each fills its output and returns 1, or returns 0 when the
    // piece cannot be formatted within its buffer without losing its line end (or, for the
    // password, when the password cannot be sent safely).
    int MakePaperSourceCmd(CString& piece);
    int MakeCopiesCmd(CString& piece);
    int MakePageRangeCmd(CString& firstPiece, CString& secondPiece);
    int MakeDuplexCmd(CString& piece);
    int MakeFitToPageCmd(CString& piece);
    int MakePasswordCmd(CString& piece);
    int MakeJobOwnerCmd(CString& piece);

    // The whole header SendJobHeader writes; 1 when every piece it needs could be composed.
    int ComposeJobHeader(CString& header);
    // The document file name as it may stand in a PJL line (see PjlSafeText).
    CString DocumentNameForPjl() const;

    // The text of string ID in the resource library; empty when absent.
    CString LoadString(UINT id) const;
    // Shows string TEXTID under string CAPTIONID with FLAGS, owned by the dialog.
    int ShowMessage(UINT textId, UINT captionId, UINT flags) const;

    CPdfSendApp* m_pApp;
    CString m_strDriverName;
    CString m_strPortName;
    CString m_strPrinterName;
    CString m_strCapFile;
    CString m_strDriverDir; // ends in the path separator
    CString m_strJobInfoDll;
    UINT m_hIconShortEdge = 0; // icon 202 once loaded (its resource ID), 0 before
    UINT m_hIconLongEdge = 0;  // icon 201 once loaded (its resource ID), 0 before
    // The command library of the current print attempt; empty outside one.
    std::unique_ptr<platform::ResourceModule> m_hCmdLib;
    // The started raw document of the current print attempt, owned by the print sequence;
    // null outside one.
    IJobWriter* m_hPrinter = nullptr;
    BOOL m_bCanDuplex = FALSE;
    BOOL m_bCanCollate = FALSE;
    BOOL m_bCanFitToPage = FALSE;
    BOOL m_bRangeWithDuplex = FALSE;
    BOOL m_bRangeWithCopies = FALSE;
    BOOL m_bCanPageRange = FALSE;
    BOOL m_bOpenEndRange = FALSE;
    BOOL m_bCanPassword = FALSE;
    BOOL m_bHasJobLog = FALSE;
    BOOL m_bHasJobInfoDll = FALSE;
    BOOL m_bPageRange = FALSE;
    BOOL m_bDuplex = FALSE;
    BOOL m_bCollate = FALSE;
    BOOL m_bFitToPage = FALSE;
    BOOL m_bUsePassword = FALSE;
    BOOL m_bCopiesReady = FALSE;
    BOOL m_bPagesReady = FALSE;
    BOOL m_bStartReady = FALSE;
    BOOL m_bEndReady = FALSE;
    UINT m_nPrinterType = 0;
    UINT m_nCopies = 1;
    int m_nBinding = 0;
    int m_nStartPage = 1;
    int m_nEndPage = 1; // -1: up to the last page
    int m_nAccountId = 0;
    CString m_strUserName;
    CString m_strPassword;
    CString m_strPaperFeed;
    CString m_strTrayKey;
    CString m_strJobInfoCmd;
    // Control pointers. The paper-source list is the one the capability reader fills; the
    // other controls join here with the dialog's own operations.
    platform::ComboBox* m_pPaperSourceList = nullptr;
    // Entries of the side libraries, valid only while GetJobOwnerInfo holds them loaded.
    PfnReadJobAccountID m_pfnReadJobAccountID = nullptr;
    PfnGetJobInfoCmd m_pfnGetJobInfoCmd = nullptr;
    UINT m_hIcon = 0; // the dialog's own icon, 204

private:
    DialogServices services_;
};

} // namespace nv
