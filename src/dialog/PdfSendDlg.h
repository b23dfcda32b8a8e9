// The print-settings dialog: the whole state of one print job (the chosen printer, what its
// model can do, the options picked, the guards of the edit checks and the handles of a running
// attempt), its window (the controls of template 300 on a headless dialog surface), the
// interlocks between the options, the checks of what the user types, the per-user settings
// and the printer list. It holds the chosen printer's capability, the job's options and its
// owner as the values the job header is composed from (printer/Capability.h, job/JobOptions.h).
//
// A front end opens it with Open() (or CreateDialogWindow() and then OnInitDialog(), to attach
// an observer to the window first), mirrors GetWindow() and forwards what the user does into
// the window's input calls (PickItem, Click, TypeText, StepSpin, ChooseSystemCommand). Every
// notification reaches the handlers through the message map, synchronously. The dialog is
// over when GetWindow()->IsEnded(); GetEndResult() then says IDOK or IDCANCEL.
#pragma once

#include "dialog/DialogOutcome.h"
#include "job/JobFailure.h"
#include "job/JobHeader.h"
#include "job/JobOptions.h"
#include "job/JobWriter.h"
#include "platform/modules/Modules.h"
#include "platform/spooler/Spooler.h"
#include "platform/ui/DialogSurface.h"
#include "platform/ui/JobProgress.h"
#include "platform/ui/MessageBox.h"
#include "platform/wintypes.h"
#include "printer/Capability.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace nv {

class CPdfSendApp;
class DocumentSource;
class JobProgressScope;

namespace platform {
class IRegistry;
} // namespace platform

// The collaborators the dialog works with, handed in by whoever builds it.
struct DialogServices {
    platform::IMessageBox* messageBox = nullptr;         // every message box goes here
    const platform::ResourceModule* resources = nullptr; // the resource library: texts by ID
    platform::IRegistry* registry = nullptr; // the per-user settings store (none: no settings)
    platform::ISpooler* spooler = nullptr;   // installed printers (none: no printer at all)
    std::function<void()> runAboutBox = {};  // runs the About box modally (none: nothing shown)
    // Where the command libraries are loaded from, ending in the path separator (empty: the
    // running executable's directory).
    CString programDirectory = {};
    // Hears of each job: started at its document's first piece, advanced after each piece and
    // finished once the job's document is released, however the attempt ended (none: no
    // progress is shown).
    platform::IJobProgress* progress = nullptr;
    // Asked before the printer is opened, after each piece of the document and while the
    // printer keeps a write waiting; true stops the attempt and cancels its job (none: a job
    // is never stopped).
    std::function<bool()> cancelRequested = {};
};

// System commands, with the platform's values.
inline constexpr UINT SC_CLOSE = 0xF060;
// The system-menu item that opens the About box.
inline constexpr UINT IDM_ABOUTBOX = 0x0010;

class CPdfSendDlg : public PrinterCapability, public JobOptions, public JobOwner {
public:
    CPdfSendDlg(CPdfSendApp* app, const DialogServices& services);
    CPdfSendDlg(const CPdfSendDlg&) = delete;
    CPdfSendDlg& operator=(const CPdfSendDlg&) = delete;
    ~CPdfSendDlg();

    // Takes over the printer type and the capability flags of the model that the capability
    // file m_strCapFile gives the driver m_strDriverName (callers pass those two members)
    // (ReadCapability). Returns 1 when the type and flags were taken over; 0 when the type is
    // above 4 (message 1514 is shown and nothing changes) or "DirectPrint" is 0 (only the type
    // changes).
    int LoadCapability(CString driverName, CString capFile);
    // The chosen printer's model has a type there is no dialect for (message 1514): Print
    // shows that message again and sends nothing.
    BOOL m_bModelUnsupported = FALSE;

    // Refills the paper-source list m_pPaperSourceList (when there is one) with the model's paper
    // sources in the fixed tray order and selects one: the saved m_strPaperFeed when USESAVED is
    // non-zero and it is offered, else the top entry (which becomes m_strPaperFeed when USESAVED is
    // 0).
    void FillPaperSourceList(int useSaved);

    // Gathers the job owner for the next header (GatherJobOwner) from the side libraries in
    // m_strDriverDir. A job-info library the model names but that cannot be loaded is dropped:
    // m_bHasJobInfoDll becomes FALSE and the owner stays as it was.
    void GetJobOwnerInfo();

    // Composes the PJL job header from the capability, the options, the owner and the templates
    // of m_hCmdLib (ComposeJobHeader) and writes it into WRITER in one write. Returns 1 when
    // every byte was accepted; 0 when the write failed or a piece cannot be composed within its
    // buffer (the header is then not sent at all).
    int SendJobHeader(IJobWriter& writer);

    // The pieces of the header (job/JobHeader.h): 1 when composed, 0 when not.
    int MakePaperSourceCmd(CString& piece);
    int MakeCopiesCmd(CString& piece);
    int MakePageRangeCmd(CString& firstPiece, CString& secondPiece);
    int MakeDuplexCmd(CString& piece);
    int MakeFitToPageCmd(CString& piece);
    int MakePasswordCmd(CString& piece);
    int MakeJobOwnerCmd(CString& piece);

    // Whether the job header of m_nPrinterType can carry PASSWORD unchanged, with its command
    // library loaded afresh (see nv::HeaderCanCarryPassword).
    bool HeaderCanCarryPassword(const CString& password) const;
    // The whole header SendJobHeader writes; 1 when every piece it needs could be composed.
    int ComposeJobHeader(CString& header);
    // The document file name as it may stand in a PJL line (see PjlNameText).
    CString DocumentNameForPjl() const;
    // What the header is composed from now.
    JobHeaderInputs HeaderInputs() const;

    // --- The dialog window, its message map and its life (dialog/PdfSendDlg.cpp) ---

    using Handler = void (CPdfSendDlg::*)();
    // One binding of a control notification to its handler.
    struct MessageMapEntry {
        int id;
        int code;
        Handler handler;
    };
    // The control notifications the dialog handles, in the order they are looked up.
    static std::span<const MessageMapEntry> GetMessageMap();

    // Creates the dialog's window: the controls of template 300 on a new surface whose
    // notifications go to OnCommand and whose system commands go to OnSysCommand. Replaces a
    // window created before. Returns the window, owned by the dialog.
    platform::DialogSurface& CreateDialogWindow();
    // CreateDialogWindow, then OnInitDialog. Returns OnInitDialog's result: FALSE when the
    // dialog ended before it was shown (no supported printer).
    BOOL Open();
    // The window, or null before CreateDialogWindow.
    platform::DialogSurface* GetWindow() { return window_.get(); }

    // Sets up the window: the About item of the system menu, the icons, the control pointers,
    // the title (the PDF's file name), the captions and the printer list with the initial
    // printer's capability, settings and option states. Returns TRUE, or FALSE after ending
    // the dialog with IDCANCEL when there is no supported printer (or the window lacks one of
    // the controls the dialog works with).
    BOOL OnInitDialog();
    // Sets the captions of the controls from the string table and fills the binding list
    // (item 0 long edge, item 1 short edge).
    void LoadCaptions();

    // Looks the notification up in the message map and runs its handler; false when no entry
    // binds it.
    bool OnCommand(int id, int code);
    // WM_SYSCOMMAND: commands 16 to 31 run the About box; SC_CLOSE ends the dialog with
    // IDCANCEL; every other command is left to the platform.
    void OnSysCommand(UINT nID);
    // Ends the dialog with IDCANCEL (Escape, the system menu's Close, the Close button).
    void OnCancel();
    // Ends the dialog with IDOK (only after a job was sent).
    void OnOK();
    void OnCloseButton();
    void OnAbout();
    // The Help command (ID_HELP): the help file's main topic (context 1) through the
    // application's help bridge; nothing when there is none.
    void OnHelp();
    void OnFitToPageCheck() {}

    // --- Option interlocks (dialog/Interlocks.cpp) ---

    // Brings every option control in line with the model's capability and either the values
    // loaded for the printer (RESTORE) or the defaults: paper sources, copies, duplex and
    // binding, collate, fit to page, page range, password, then the range rules. Capability
    // always wins over a saved value.
    void ApplyOptions(BOOL restore);
    void ApplyBinding(BOOL restore);
    void ApplyPageRange(BOOL restore);
    // FALSE when the settings key cannot be opened (the password group is then left as it
    // was); TRUE otherwise.
    BOOL ApplyPassword(BOOL restore);
    // Disables (and unticks) the page range while the chosen duplex or uncollated copies rule
    // it out on this model, and re-enables it once the cause is gone. Rewrites both page edits,
    // which runs their change checks.
    void EnforceRangeRules();
    void DisablePageRange();
    void OnDefaults();
    void OnDuplexCheck();
    void OnCollateCheck();
    void OnPageRangeCheck();
    void OnPasswordCheck();
    void OnSelchangeBinding();

    // --- Input checks and harvesting (dialog/Validation.cpp) ---

    void OnChangeCopies();
    void OnChangeStartPage();
    void OnChangeEndPage();
    // Reads every option control into the job state. Returns TRUE.
    BOOL HarvestOptions();
    // Checks the harvested state in the order copies, page range, password; the first failure
    // shows its warning and gives FALSE.
    BOOL ValidateOptions();
    BOOL IsPageRangeValid(int start, int end) const;
    // TRUE for a password of 1 to 128 bytes without control bytes or double quotes that the
    // job header can carry (HeaderCanCarryPassword); otherwise shows message 1509 and gives
    // FALSE.
    BOOL IsPasswordValid() const;
    void OnSaveSettings();
    // The paper-source key of displayed text PAPERFEED: the tray whose string equals it,
    // "AutoTray" when none does.
    CString TrayKeyFor(const CString& paperFeed) const;
    // The Print button: the version check, harvesting and validation (PrepareJob), the job
    // owner, then the job itself (SendJob); ends the dialog with IDOK once the job is complete
    // on the spooler. After a failure the attempt releases what it took, a started job is
    // cancelled, the dialog stays open with its settings, and a message names the cause when
    // the document or the printer path is known to be at fault (ReportJobFailure).
    void OnPrint();
    // The steps of Print before the job: the PDF version check (with its message or question),
    // HarvestOptions and ValidateOptions. TRUE when a job may be sent.
    BOOL PrepareJob();

    // --- The print job (dialog/PrintJob.cpp) ---

    // Loads the command library of m_nPrinterType, composes the job header and scans the whole
    // document for the UEL sequence, and only then opens m_strPrinterName, starts a raw
    // document named after the PDF and writes the job stream: UEL and "@PJL", the job header,
    // the document, UEL, "@PJL", the end-of-job line and UEL. TRUE when the document was ended
    // with every byte; FALSE otherwise, with the job cancelled and the cause in
    // GetJobFailure(). Holds nothing when it returns; records sent, cancelled or jobFailed as
    // the outcome.
    BOOL SendJob();
    // Copies the PDF at the application's m_strFilePath into SINK through one buffer, in
    // pieces of at most kDocumentChunkSize bytes, reporting each to PROGRESS. TRUE when every
    // byte of the file's length was written; FALSE when the file cannot be opened or read,
    // ends before its length, a write fails, the document holds the UEL sequence (which is
    // then not written) or a stop was requested after a piece.
    BOOL SendDocumentData(IJobWriter& sink, JobProgressScope& progress);
    // The full path of the command library of m_nPrinterType.
    CString CommandLibraryPath() const;
    // Reads the whole PDF at m_strFilePath once and checks it for the UEL sequence. TRUE when
    // it can be sent; FALSE with the cause (documentHoldsUel, documentUnreadable, cancelled)
    // in GetJobFailure().
    BOOL ScanDocument();
    // Why the last SendJob failed (JobFailure::none after a success).
    JobFailure GetJobFailure() const { return failure_; }
    // Shows the message that names the cause of the last failed SendJob, when there is one;
    // failures before the printer was reached stay silent.
    void ReportJobFailure() const;
    // What ended the dialog's steps since the last call (the first refusal, declined question,
    // error or job result recorded), leaving none.
    DialogOutcome TakeOutcome();

    // --- Per-user settings (dialog/PrinterSettings.cpp) ---

    // Stores "Printer" and the options of PRINTERNAME. 1 when both keys opened, else 0.
    int SavePrinterSettings(CString printerName);
    // Loads the saved options of PRINTERNAME (defaults for values not stored) into the
    // members. 1 when the printer key opened, else 0 with the members unchanged.
    int LoadPrinterSettings(CString printerName);
    void OnSavePassword();
    void OnClearPassword();

    // --- The printer list (dialog/PrinterList.cpp) ---

    // Whether PRINTERNAME's driver lists a capability file that marks the model supported;
    // CAPFILE receives its full path on success. Sets m_strDriverDir for every candidate met.
    bool FindCapabilityFile(const CString& printerName, CString& capFile);
    // The port and driver of PRINTERNAME from a fresh enumeration (left as they were when the
    // printer is not listed). False only when the enumeration cannot be made.
    bool GetPrinterPortDriver(const CString& printerName, CString& portName, CString& driverName);
    // Fills the printer list with the supported printers in the spooler's order, chooses the
    // initial one and selects it. FALSE after message 1510 or 1511 when there is none.
    BOOL FillPrinterList();
    void SelectInitialPrinter();
    void OnSelchangePrinter();

    // The text of string ID in the resource library; empty when absent.
    CString LoadString(UINT id) const;
    // Shows string TEXTID under string CAPTIONID with FLAGS, owned by the dialog, and records
    // the outcome it stands for: declined for a question not answered Yes, unavailable for an
    // error (CAPTIONID the error caption), refused for any other message.
    int ShowMessage(UINT textId, UINT captionId, UINT flags) const;
    // The same with the text TEXT itself.
    int ShowMessageText(const CString& text, UINT captionId, UINT flags) const;
    // Before the message that no (supported) printer is there: says that the print scheduler
    // did not answer, where it did not.
    void ShowSchedulerSilence() const;

    CPdfSendApp* m_pApp;
    CString m_strPortName;
    CString m_strPrinterName;
    CString m_strDriverDir;    // ends in the path separator
    UINT m_hIconShortEdge = 0; // icon 202 once loaded (its resource ID), 0 before
    UINT m_hIconLongEdge = 0;  // icon 201 once loaded (its resource ID), 0 before
    // The command library of the current print attempt; empty outside one.
    std::unique_ptr<platform::ResourceModule> m_hCmdLib;
    // The printer of the current print attempt; null outside one.
    std::unique_ptr<platform::IPrinter> m_hPrinter;
    // The raw document started on m_hPrinter; null outside an attempt and once ended. Destroyed
    // unended, it cancels its job.
    std::unique_ptr<platform::IPrintDocument> m_hDocument;
    // Guards of the change checks of the copies and page edits: each check stays quiet until
    // its field was filled once.
    BOOL m_bCopiesReady = FALSE;
    BOOL m_bPagesReady = FALSE;
    BOOL m_bStartReady = FALSE;
    BOOL m_bEndReady = FALSE;
    // Control pointers into the window, set by OnInitDialog.
    platform::ComboBox* m_pPrinterList = nullptr;
    platform::ComboBox* m_pPaperSourceList = nullptr;
    platform::UpDown* m_pCopiesSpin = nullptr;
    platform::CheckBox* m_pDuplexCheck = nullptr;
    platform::Label* m_pBindingLabel = nullptr;
    platform::ComboBox* m_pBindingList = nullptr;
    platform::StaticIcon* m_pBindingIcon = nullptr;
    platform::CheckBox* m_pCollateCheck = nullptr;
    platform::CheckBox* m_pFitToPageCheck = nullptr;
    platform::CheckBox* m_pPageRangeCheck = nullptr;
    platform::Edit* m_pStartPageEdit = nullptr;
    platform::Edit* m_pEndPageEdit = nullptr;
    platform::UpDown* m_pStartPageSpin = nullptr;
    platform::UpDown* m_pEndPageSpin = nullptr;
    platform::Label* m_pFromPageLabel = nullptr;
    platform::Label* m_pToPageLabel = nullptr;
    platform::Label* m_pPasswordLabel = nullptr;
    platform::CheckBox* m_pPasswordCheck = nullptr;
    platform::PushButton* m_pSavePasswordButton = nullptr;
    platform::PushButton* m_pClearPasswordButton = nullptr;
    platform::Edit* m_pPasswordEdit = nullptr;
    UINT m_hIcon = 0; // the dialog's own icon, 204

private:
    // SendJob's steps from the command library to the ended document; false with the cause
    // recorded.
    bool StartAndWriteJob(JobProgressScope& progress);
    // Copies DOCUMENT through the UEL guard into SINK, asking STOP after each piece; false with
    // the cause recorded (a write SINK refused leaves the cause to the caller).
    bool CopyDocument(DocumentSource& document, IJobWriter& sink,
                      const std::function<bool()>& stop);
    // The PDF's full path; empty without an application.
    CString DocumentPath() const;
    // Cancels a job still running and releases the document, the printer and the command
    // library.
    void EndAttempt();
    // Whether the user asked to stop the attempt (through DialogServices::cancelRequested).
    bool CancelRequested() const;
    // Records CAUSE as the failure of this attempt unless one was recorded already; returns
    // false, so that a failing step can `return Fail(...)`.
    bool Fail(JobFailure cause);
    // The failure the spooler reports for the document (or, without one, the printer).
    JobFailure SpoolerFailure() const;
    // Records OUTCOME unless one was recorded since the last TakeOutcome.
    void Record(DialogOutcome outcome) const;
    // Makes PRINTERNAME the chosen printer: its port (also shown), driver and capability file
    // from the spooler afresh, then its capability profile.
    void TakePrinter(const CString& printerName);
    bool LookUpControls();
    void ShowLongEdge();
    void ShowShortEdge();
    void EnablePageRangeGroup(BOOL enable);
    // Reads a page edit as a signed number (blank or not a number: 0).
    int ReadPage(int id) const;
    void WritePage(int id, int page);
    // Whether the end page is blank on a model where a blank means "to the last page".
    bool EndPageLeftOpen() const;
    // Writes m_nStartPage and m_nEndPage back into the page edits, which runs their change
    // checks; an end page left open is written back blank.
    void WritePagesBack(bool endLeftOpen);
    UINT LoadIcon(UINT id) const;

    DialogServices services_;
    std::unique_ptr<platform::DialogSurface> window_;
    JobFailure failure_ = JobFailure::none;
    // Recorded by ShowMessage too, which only shows (and so is const).
    mutable DialogOutcome outcome_ = DialogOutcome::none;
};

} // namespace nv
