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

    m_hCmdLib = platform::ResourceModule::Load(CommandLibraryPath());
    if (!m_hCmdLib) {
        return FALSE;
    }
    if (services_.spooler != nullptr) {
        m_hPrinter = services_.spooler->OpenPrinter(m_strPrinterName);
    }
    if (!m_hPrinter) {
        return FALSE;
    }
    const platform::DocInfo doc{m_pApp != nullptr ? m_pApp->m_strFileName : CString(),
                                DatatypeForCapabilityFile(m_strCapFile)};
    m_hDocument = m_hPrinter->StartDocPrinter(doc);
    if (!m_hDocument) {
        return FALSE;
    }
    DocumentJobWriter writer(*m_hDocument);
    m_pJobWriter = &writer;
    const bool written = WriteJobStream();
    m_pJobWriter = nullptr;
    if (!written || !m_hDocument->EndDocPrinter()) {
        return FALSE;
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

bool CPdfSendDlg::WriteRow(const CString& row) {
    return m_pJobWriter != nullptr &&
           m_pJobWriter->Write(row.data(), row.size()) == static_cast<std::int64_t>(row.size());
}

bool CPdfSendDlg::WriteJobStream() {
    const CString uel(kUel);
    const CString pjl(kPjlLine);
    if (!WriteRow(uel) || !WriteRow(pjl) || !SendJobHeader() || !SendDocumentData() ||
        !WriteRow(uel) || !WriteRow(pjl)) {
        return false;
    }
    CString endOfJob;
    if (!FormatCommand(m_hCmdLib.get(), cmd::kEndOfJob, kPieceSize,
                       {CommandArg::FreeText(DocumentNameForPjl()), CommandArg::Text(kLineEnd)},
                       endOfJob)) {
        return false;
    }
    return WriteRow(endOfJob) && WriteRow(uel);
}

BOOL CPdfSendDlg::SendDocumentData() {
    if (m_pApp == nullptr || m_pJobWriter == nullptr) {
        return FALSE;
    }
    auto file = platform::ExclusiveFile::Open(m_pApp->m_strFilePath, nullptr);
    if (!file) {
        return FALSE;
    }
    const std::int64_t length = file->Length();
    if (length < 0) {
        return FALSE;
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
            return FALSE;
        }
        const auto size = static_cast<std::size_t>(got);
        // A UEL inside the document would hand the printer back to PJL mid-job.
        if (uel.Contains(buffer.get(), size)) {
            return FALSE;
        }
        if (m_pJobWriter->Write(buffer.get(), size) != got) {
            return FALSE;
        }
        sent += size;
        if (services_.progress) {
            services_.progress(sent, total);
        }
    }
    return TRUE;
}

} // namespace nv
