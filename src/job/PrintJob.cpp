// The print job on the spooler: the command library, the printer, one raw document and the job
// stream written into it.
#include "job/PrintJob.h"

#include "app/PdfSendApp.h"
#include "dialog/PdfSendDlg.h"
#include "job/CommandTemplates.h"
#include "job/DocumentJobWriter.h"
#include "job/UelScanner.h"
#include "platform/files/Files.h"
#include "resources/CommandIds.h"
#include "resources/ResourceIds.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>

namespace nv {

namespace {

// "@PJL" and the line terminator, the line that follows each UEL but the last.
constexpr std::string_view kPjlLine = "@PJL\r\n";

} // namespace

std::optional<CString> DatatypeForCapabilityFile(const CString& capFile) {
    const CString lastFive = capFile.size() > 5 ? capFile.substr(capFile.size() - 5) : capFile;
    if (lastFive.empty()) {
        return std::nullopt;
    }
    char first = lastFive[0];
    if (first >= 'A' && first <= 'Z') {
        first = static_cast<char>(first - 'A' + 'a');
    }
    for (const char marker : {'t', 'd', 'y', 'i', 'g'}) {
        if (first == marker) {
            return CString("XPS_PASS");
        }
    }
    return std::nullopt;
}

CString CPdfSendDlg::CommandLibraryPath() const {
    const CString directory = services_.programDirectory.empty() ? platform::GetProgramDirectory()
                                                                 : services_.programDirectory;
    return directory + cmd::CommandLibraryName(m_nPrinterType);
}

BOOL CPdfSendDlg::SendJob() {
    // Whichever way the attempt ends, nothing stays held and an unfinished job is cancelled.
    struct Release {
        CPdfSendDlg& dialog;
        ~Release() { dialog.EndAttempt(); }
    } release{*this};
    failure_ = JobFailure::none;

    // Everything that can refuse the job is decided before the printer is opened, so that a
    // refusal never leaves part of a job at the printer.
    m_hCmdLib = platform::ResourceModule::Load(CommandLibraryPath());
    if (!m_hCmdLib) {
        return Fail(JobFailure::notSent);
    }
    CString header;
    if (!ComposeJobHeader(header)) {
        return Fail(JobFailure::notSent);
    }
    if (!ScanDocument()) {
        return FALSE;
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
    DocumentJobWriter writer(*m_hDocument);
    m_pJobWriter = &writer;
    const bool written = WriteJobStream(header);
    m_pJobWriter = nullptr;
    if (!written) {
        return Fail(SpoolerFailure());
    }
    if (!m_hDocument->EndDocPrinter()) {
        return Fail(SpoolerFailure());
    }
    m_hDocument.reset();
    return TRUE;
}

void CPdfSendDlg::EndAttempt() {
    m_pJobWriter = nullptr;
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
    using platform::SpoolError;
    SpoolError error = SpoolError::other;
    if (m_hDocument) {
        error = m_hDocument->LastError();
    } else if (m_hPrinter) {
        error = m_hPrinter->LastError();
    }
    switch (error) {
    case SpoolError::refused:
        return JobFailure::refused;
    case SpoolError::reset:
        return JobFailure::reset;
    case SpoolError::timedOut:
        return JobFailure::timedOut;
    case SpoolError::scheduler:
        return JobFailure::scheduler;
    case SpoolError::diskFull:
        return JobFailure::diskFull;
    case SpoolError::cancelled:
        return JobFailure::cancelled;
    case SpoolError::none:
    case SpoolError::other:
        break;
    }
    return JobFailure::other;
}

void CPdfSendDlg::ReportJobFailure() const {
    UINT text = 0;
    switch (failure_) {
    case JobFailure::documentHoldsUel:
        text = res::str::kDocumentHoldsUel;
        break;
    case JobFailure::documentUnreadable:
        text = res::str::kFileCannotOpen;
        break;
    case JobFailure::refused:
        text = res::str::kPrinterRefused;
        break;
    case JobFailure::reset:
        text = res::str::kPrinterReset;
        break;
    case JobFailure::timedOut:
        text = res::str::kPrinterTimedOut;
        break;
    case JobFailure::scheduler:
        text = res::str::kSchedulerError;
        break;
    case JobFailure::diskFull:
        text = res::str::kDiskFull;
        break;
    case JobFailure::none:
    case JobFailure::notSent:
    case JobFailure::cancelled:
    case JobFailure::other:
        return;
    }
    ShowMessage(text, res::str::kErrorCaption, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

bool CPdfSendDlg::WriteRow(const CString& row) {
    return m_pJobWriter != nullptr &&
           m_pJobWriter->Write(row.data(), row.size()) == static_cast<std::int64_t>(row.size());
}

bool CPdfSendDlg::WriteJobStream(const CString& header) {
    const CString uel(kUel);
    const CString pjl(kPjlLine);
    if (!WriteRow(uel) || !WriteRow(pjl) || !WriteRow(header) || !SendDocumentData()) {
        return false;
    }
    // Up to here a stop leaves a broken job; once the trailer is out the job is whole.
    if (CancelRequested()) {
        return Fail(JobFailure::cancelled);
    }
    if (!WriteRow(uel) || !WriteRow(pjl)) {
        return false;
    }
    CString endOfJob;
    if (!FormatCommand(m_hCmdLib.get(), cmd::kEndOfJob, kPieceSize,
                       {CommandArg::FreeText(DocumentNameForPjl()), CommandArg::Text(kLineEnd)},
                       endOfJob)) {
        return Fail(JobFailure::notSent);
    }
    return WriteRow(endOfJob) && WriteRow(uel);
}

BOOL CPdfSendDlg::ScanDocument() {
    auto file =
        m_pApp != nullptr ? platform::ExclusiveFile::Open(m_pApp->m_strFilePath, nullptr) : nullptr;
    if (!file) {
        return Fail(JobFailure::documentUnreadable);
    }
    const std::int64_t length = file->Length();
    if (length < 0) {
        return Fail(JobFailure::documentUnreadable);
    }
    const auto buffer = std::make_unique<char[]>(kDocumentChunkSize);
    UelScanner uel;
    for (auto left = static_cast<std::uint64_t>(length); left > 0;) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(left, kDocumentChunkSize));
        const std::int64_t got = file->Read(buffer.get(), want);
        if (got <= 0) {
            return Fail(JobFailure::documentUnreadable);
        }
        if (uel.Contains(buffer.get(), static_cast<std::size_t>(got))) {
            return Fail(JobFailure::documentHoldsUel);
        }
        left -= static_cast<std::uint64_t>(got);
    }
    return TRUE;
}

BOOL CPdfSendDlg::SendDocumentData() {
    if (m_pApp == nullptr || m_pJobWriter == nullptr) {
        return FALSE;
    }
    auto file = platform::ExclusiveFile::Open(m_pApp->m_strFilePath, nullptr);
    if (!file) {
        return Fail(JobFailure::documentUnreadable);
    }
    const std::int64_t length = file->Length();
    if (length < 0) {
        return Fail(JobFailure::documentUnreadable);
    }
    const auto total = static_cast<std::uint64_t>(length);
    const auto buffer = std::make_unique<char[]>(kDocumentChunkSize);
    UelScanner uel;
    std::uint64_t sent = 0;
    while (sent < total) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(total - sent, kDocumentChunkSize));
        const std::int64_t got = file->Read(buffer.get(), want);
        // A file that ends early or cannot be read any more would leave the job short.
        if (got <= 0) {
            return Fail(JobFailure::documentUnreadable);
        }
        const auto size = static_cast<std::size_t>(got);
        // The document was scanned before the job started; a file changed since then is
        // checked again piece by piece, as a UEL would hand the printer back to PJL mid-job.
        if (uel.Contains(buffer.get(), size)) {
            return Fail(JobFailure::documentHoldsUel);
        }
        if (m_pJobWriter->Write(buffer.get(), size) != got) {
            return FALSE;
        }
        sent += size;
        if (services_.progress) {
            services_.progress(sent, total);
        }
        if (CancelRequested()) {
            return Fail(JobFailure::cancelled);
        }
    }
    return TRUE;
}

} // namespace nv
