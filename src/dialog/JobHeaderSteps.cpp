// The dialog's job-header steps: the owner gathered into the dialog, and the header and its
// pieces composed from the dialog's values.
#include "app/PdfSendApp.h"
#include "dialog/PdfSendDlg.h"
#include "job/JobHeader.h"
#include "job/JobOwnerQuery.h"
#include "job/PjlText.h"

#include <memory>

namespace nv {

CString CPdfSendDlg::DocumentNameForPjl() const {
    return PjlNameText(HeaderInputs().fileName);
}

JobHeaderInputs CPdfSendDlg::HeaderInputs() const {
    return {*this, *this, *this, m_hCmdLib.get(),
            m_pApp != nullptr ? m_pApp->m_strFileName : CString()};
}

void CPdfSendDlg::GetJobOwnerInfo() {
    const JobOwnerQuery query{
        m_strDriverDir, m_strPrinterName, m_strCapFile, HeaderInputs().fileName,
        m_bHasJobInfoDll ? std::optional<CString>(m_strJobInfoDll) : std::nullopt};
    if (const std::optional<JobOwner> owner = GatherJobOwner(query, *this)) {
        static_cast<JobOwner&>(*this) = *owner;
    } else {
        m_bHasJobInfoDll = FALSE;
    }
}

int CPdfSendDlg::MakePaperSourceCmd(CString& piece) {
    return ComposePaperSource(HeaderInputs(), piece) ? 1 : 0;
}

int CPdfSendDlg::MakeCopiesCmd(CString& piece) {
    return ComposeCopies(HeaderInputs(), piece) ? 1 : 0;
}

int CPdfSendDlg::MakePageRangeCmd(CString& firstPiece, CString& secondPiece) {
    return ComposePageRange(HeaderInputs(), firstPiece, secondPiece) ? 1 : 0;
}

int CPdfSendDlg::MakeDuplexCmd(CString& piece) {
    return ComposeDuplex(HeaderInputs(), piece) ? 1 : 0;
}

int CPdfSendDlg::MakeFitToPageCmd(CString& piece) {
    return ComposeFitToPage(HeaderInputs(), piece) ? 1 : 0;
}

int CPdfSendDlg::MakePasswordCmd(CString& piece) {
    return ComposePassword(HeaderInputs(), piece) ? 1 : 0;
}

int CPdfSendDlg::MakeJobOwnerCmd(CString& piece) {
    return ComposeJobOwner(HeaderInputs(), piece) ? 1 : 0;
}

int CPdfSendDlg::ComposeJobHeader(CString& header) {
    const std::optional<CString> composed = nv::ComposeJobHeader(HeaderInputs());
    header = composed.value_or(CString());
    return composed ? 1 : 0;
}

bool CPdfSendDlg::HeaderCanCarryPassword(const CString& password) const {
    const std::unique_ptr<platform::ResourceModule> library =
        platform::ResourceModule::Load(CommandLibraryPath());
    return nv::HeaderCanCarryPassword(m_nPrinterType, library.get(), password);
}

int CPdfSendDlg::SendJobHeader(IJobWriter& writer) {
    CString header;
    if (!ComposeJobHeader(header)) {
        return 0;
    }
    const std::int64_t written = writer.Write(header.data(), header.size());
    return written == static_cast<std::int64_t>(header.size()) ? 1 : 0;
}

} // namespace nv
