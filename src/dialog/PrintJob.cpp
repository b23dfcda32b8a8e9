// The print attempt of the dialog: the command library, the printer, one raw document on the
// spooler and the job stream written into it through the stages of job/JobStream.h.
#include "job/PrintJob.h"

#include "app/PdfSendApp.h"
#include "dialog/PdfSendDlg.h"
#include "job/CommandTemplates.h"
#include "job/DocumentJobWriter.h"
#include "job/JobStream.h"
#include "job/PjlText.h"
#include "platform/files/Files.h"
#include "resources/CommandIds.h"
#include "resources/ResourceIds.h"

#include <utility>

namespace nv {

CString CPdfSendDlg::CommandLibraryPath() const {
    const CString directory = services_.programDirectory.empty() ? platform::GetProgramDirectory()
                                                                 : services_.programDirectory;
    return directory + cmd::CommandLibraryName(m_nPrinterType);
}

BOOL CPdfSendDlg::SendJob() {
    // The view hears the job is over once the document is released, on every path.
    JobProgressScope progress(services_.progress);
    // Whichever way the attempt ends, nothing stays held and an unfinished job is cancelled.
    struct Release {
        CPdfSendDlg& dialog;
        ~Release() { dialog.EndAttempt(); }
    } release{*this};
    failure_ = JobFailure::none;
    const bool sent = StartAndWriteJob(progress);
    Record(sent                                ? DialogOutcome::sent
           : failure_ == JobFailure::cancelled ? DialogOutcome::cancelled
                                               : DialogOutcome::jobFailed);
    return sent ? TRUE : FALSE;
}

bool CPdfSendDlg::StartAndWriteJob(JobProgressScope& progress) {
    // Everything that can refuse the job is decided before the printer is opened, so that a
    // refusal never leaves part of a job at the printer.
    std::unique_ptr<platform::ResourceModule> library =
        platform::ResourceModule::Load(CommandLibraryPath());
    if (!library) {
        return Fail(JobFailure::notSent);
    }
    auto watched = std::make_unique<WatchedCommandLibrary>(std::move(library));
    const WatchedCommandLibrary& templates = *watched;
    m_hCmdLib = std::move(watched);
    CString header;
    CString endOfJob;
    if (!ComposeJobHeader(header) ||
        !FormatCommand(m_hCmdLib.get(), cmd::kEndOfJob, kPieceSize,
                       {CommandArg::FreeText(DocumentNameForPjl()), CommandArg::Text(kLineEnd)},
                       endOfJob)) {
        return Fail(templates.ReadAnEmptyTemplate() ? JobFailure::commandLibraryDamaged
                                                    : JobFailure::notSent);
    }
    // A damaged library reads empty or yields stray control bytes: such a header would print
    // without its options, or end the job early, so it is never sent.
    if (templates.ReadAnEmptyTemplate() || !HoldsOnlyPjlLines(header) ||
        !HoldsOnlyPjlLines(endOfJob)) {
        return Fail(JobFailure::commandLibraryDamaged);
    }
    if (!ScanDocument()) {
        return false;
    }
    if (CancelRequested()) {
        return Fail(JobFailure::cancelled);
    }

    if (services_.spooler != nullptr) {
        m_hPrinter = services_.spooler->OpenPrinter(m_strPrinterName);
    }
    if (!m_hPrinter) {
        return Fail(JobFailure::notSent);
    }
    platform::DocInfo doc{m_pApp != nullptr ? m_pApp->m_strFileName : CString(),
                          DatatypeForCapabilityFile(m_strCapFile)};
    if (services_.cancelRequested) {
        doc.cancelRequested = [this] { return CancelRequested(); };
    }
    m_hDocument = m_hPrinter->StartDocPrinter(doc);
    if (!m_hDocument) {
        return Fail(SpoolerFailure());
    }
    DocumentJobWriter spooled(*m_hDocument);
    if (!WriteJobOpening(spooled, header) || !SendDocumentData(spooled, progress)) {
        return Fail(SpoolerFailure());
    }
    // Up to here a stop leaves a broken job; once the trailer is out the job is whole.
    if (CancelRequested()) {
        return Fail(JobFailure::cancelled);
    }
    if (!WriteJobClosing(spooled, endOfJob) || !m_hDocument->EndDocPrinter()) {
        return Fail(SpoolerFailure());
    }
    m_hDocument.reset();
    return true;
}

void CPdfSendDlg::EndAttempt() {
    if (m_hDocument) {
        // The job was not completed: cancel it, so that no part of it prints.
        m_hDocument->AbortDocPrinter();
        m_hDocument.reset();
    }
    m_hPrinter.reset();
    m_hCmdLib.reset();
}

bool CPdfSendDlg::CancelRequested() const {
    return services_.cancelRequested && services_.cancelRequested();
}

bool CPdfSendDlg::Fail(JobFailure cause) {
    if (failure_ == JobFailure::none) {
        failure_ = cause;
    }
    return false;
}

JobFailure CPdfSendDlg::SpoolerFailure() const {
    if (m_hDocument) {
        return FailureOfSpoolError(m_hDocument->LastError());
    }
    return FailureOfSpoolError(m_hPrinter ? m_hPrinter->LastError() : platform::SpoolError::other);
}

void CPdfSendDlg::Record(DialogOutcome outcome) const {
    if (outcome_ == DialogOutcome::none) {
        outcome_ = outcome;
    }
}

DialogOutcome CPdfSendDlg::TakeOutcome() {
    return std::exchange(outcome_, DialogOutcome::none);
}

void CPdfSendDlg::ReportJobFailure() const {
    // A damaged command library is named, so the user knows which file to restore.
    const CString text = FailureMessage(
        failure_, m_strPrinterName, m_strPortName, [this](UINT id) { return LoadString(id); },
        failure_ == JobFailure::commandLibraryDamaged
            ? CString(cmd::CommandLibraryName(m_nPrinterType))
            : CString());
    if (!text.empty()) {
        ShowMessageText(text, res::str::kErrorCaption,
                        platform::MB_OK | platform::MB_ICONEXCLAMATION);
    }
}

bool CPdfSendDlg::CopyDocument(DocumentSource& document, IJobWriter& sink,
                               const std::function<bool()>& stop) {
    UelGuard guard(sink);
    switch (document.CopyTo(guard, stop)) {
    case CopyResult::complete:
        return true;
    case CopyResult::unreadable:
        return Fail(JobFailure::documentUnreadable);
    case CopyResult::cut:
        return Fail(JobFailure::documentCut);
    case CopyResult::stopped:
        return Fail(JobFailure::cancelled);
    case CopyResult::notTaken:
        break;
    }
    return guard.Found() ? Fail(JobFailure::documentHoldsUel) : false;
}

CString CPdfSendDlg::DocumentPath() const {
    return m_pApp != nullptr ? m_pApp->m_strFilePath : CString();
}

BOOL CPdfSendDlg::ScanDocument() {
    DocumentSource document(DocumentPath());
    DiscardingWriter nowhere;
    return CopyDocument(document, nowhere, {}) ? TRUE : FALSE;
}

BOOL CPdfSendDlg::SendDocumentData(IJobWriter& sink, JobProgressScope& progress) {
    // The document was scanned before the job started; a file changed since then is checked
    // again piece by piece, as a UEL would hand the printer back to PJL mid-job.
    DocumentSource document(DocumentPath());
    const std::int64_t length = document.Length();
    ProgressCounter counted(sink, progress, length > 0 ? static_cast<std::uint64_t>(length) : 0);
    return CopyDocument(document, counted, [this] { return CancelRequested(); }) ? TRUE : FALSE;
}

} // namespace nv
