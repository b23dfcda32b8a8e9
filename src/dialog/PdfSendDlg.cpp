#include "dialog/PdfSendDlg.h"

#include "resources/ResourceIds.h"

#include <vector>

namespace nv {

namespace {

// Strings are read whole, like the framework's string loading, up to this length.
constexpr int kStringBufferSize = 4096;

} // namespace

CPdfSendDlg::CPdfSendDlg(CPdfSendApp* app, const DialogServices& services)
    : m_pApp(app), services_(services) {
    if (services_.resources != nullptr &&
        !services_.resources->FindResourceData(platform::kRtGroupIcon, res::icon::kProgram)
             .empty()) {
        m_hIcon = res::icon::kProgram;
    }
    m_bCopiesReady = FALSE;
    m_bPagesReady = FALSE;
    m_bHasJobLog = FALSE;
    m_nAccountId = 0;
}

CPdfSendDlg::~CPdfSendDlg() = default;

CString CPdfSendDlg::LoadString(UINT id) const {
    if (services_.resources == nullptr) {
        return {};
    }
    std::vector<char> buffer(kStringBufferSize, '\0');
    const int length = services_.resources->LoadStringA(id, buffer.data(), kStringBufferSize);
    return length > 0 ? CString(buffer.data(), static_cast<std::size_t>(length)) : CString();
}

int CPdfSendDlg::ShowMessage(UINT textId, UINT captionId, UINT flags) const {
    if (services_.messageBox == nullptr) {
        return platform::IDCANCEL;
    }
    return services_.messageBox->Show(LoadString(textId), LoadString(captionId), flags, true);
}

} // namespace nv
