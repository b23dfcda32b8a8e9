#include "dialog/PdfSendDlg.h"

#include "app/PdfSendApp.h"
#include "dialog/SettingsTemplate.h"
#include "help/HelpHandlers.h"
#include "resources/ResourceIds.h"
#include "settings/SettingsStore.h"

#include <array>
#include <vector>

namespace nv {

namespace {

using platform::BN_CLICKED;
using platform::CBN_SELCHANGE;
using platform::EN_CHANGE;
namespace ctl = res::ctl;
namespace str = res::str;

// Strings are read whole, like the framework's string loading, up to this length.
constexpr int kStringBufferSize = 4096;
// System commands whose ID masked with this equals IDM_ABOUTBOX (16 to 31) open the About box.
constexpr UINT kSysCommandMask = 0xFFF0;

const std::array<CPdfSendDlg::MessageMapEntry, 18> kMessageMap = {{
    {ControlId(ctl::kPrintButton), BN_CLICKED, &CPdfSendDlg::OnPrint},
    {ControlId(ctl::kAboutButton), BN_CLICKED, &CPdfSendDlg::OnAbout},
    {ControlId(ctl::kDefaultsButton), BN_CLICKED, &CPdfSendDlg::OnDefaults},
    {ControlId(ctl::kSaveSettingsButton), BN_CLICKED, &CPdfSendDlg::OnSaveSettings},
    {ControlId(ctl::kPasswordCheck), BN_CLICKED, &CPdfSendDlg::OnPasswordCheck},
    {ControlId(ctl::kPrinterList), CBN_SELCHANGE, &CPdfSendDlg::OnSelchangePrinter},
    {ControlId(ctl::kDuplexCheck), BN_CLICKED, &CPdfSendDlg::OnDuplexCheck},
    {ControlId(ctl::kCollateCheck), BN_CLICKED, &CPdfSendDlg::OnCollateCheck},
    {ControlId(ctl::kFitToPageCheck), BN_CLICKED, &CPdfSendDlg::OnFitToPageCheck},
    {ControlId(ctl::kPageRangeCheck), BN_CLICKED, &CPdfSendDlg::OnPageRangeCheck},
    {ControlId(ctl::kCopiesEdit), EN_CHANGE, &CPdfSendDlg::OnChangeCopies},
    {ControlId(ctl::kSavePasswordButton), BN_CLICKED, &CPdfSendDlg::OnSavePassword},
    {ControlId(ctl::kClearPasswordButton), BN_CLICKED, &CPdfSendDlg::OnClearPassword},
    {ControlId(ctl::kBindingList), CBN_SELCHANGE, &CPdfSendDlg::OnSelchangeBinding},
    {ControlId(ctl::kEndPageEdit), EN_CHANGE, &CPdfSendDlg::OnChangeEndPage},
    {ControlId(ctl::kStartPageEdit), EN_CHANGE, &CPdfSendDlg::OnChangeStartPage},
    // The Help command comes from a menu or a key, with code 0 like a click.
    {platform::ID_HELP, BN_CLICKED, &CPdfSendDlg::OnHelp},
    {ControlId(ctl::kCloseButton), BN_CLICKED, &CPdfSendDlg::OnCloseButton},
}};

// Captions set by LoadCaptions: string ID, then the control it goes to. The binding list's two
// items are inserted separately.
struct Caption {
    UINT stringId;
    UINT controlId;
};
constexpr std::array<Caption, 19> kCaptions = {{
    {str::kPrinterLabel, ctl::kPrinterLabel},
    {str::kPortLabel, ctl::kPortLabel},
    {str::kSettingsLabel, ctl::kSettingsLabel},
    {str::kPaperSourceLabel, ctl::kPaperSourceLabel},
    {str::kCopiesLabel, ctl::kCopiesLabel},
    {str::kDuplexCheck, ctl::kDuplexCheck},
    {str::kCollateCheck, ctl::kCollateCheck},
    {str::kFitToPageCheck, ctl::kFitToPageCheck},
    {str::kPageRangeCheck, ctl::kPageRangeCheck},
    {str::kRangeLabel1, ctl::kRangeLabel1},
    {str::kRangeLabel2, ctl::kRangeLabel2},
    {str::kBindingLabel, ctl::kBindingLabel},
    {str::kPasswordSectionLabel, ctl::kPasswordSectionLabel},
    {str::kPasswordLabel, ctl::kPasswordLabel},
    {str::kPasswordCheck, ctl::kPasswordCheck},
    {str::kSavePasswordButton, ctl::kSavePasswordButton},
    {str::kClearPasswordButton, ctl::kClearPasswordButton},
    {str::kPrintButton, ctl::kPrintButton},
    {str::kCloseButton, ctl::kCloseButton},
}};

// Typed lookup of one control; false (and PTR null) when the window lacks it.
template <typename T>
bool lookUp(platform::DialogSurface& window, UINT controlId, T*& ptr) {
    ptr = dynamic_cast<T*>(window.GetDlgItem(ControlId(controlId)));
    return ptr != nullptr;
}

} // namespace

CPdfSendDlg::CPdfSendDlg(CPdfSendApp* app, const DialogServices& services)
    : m_pApp(app), services_(services) {
    m_hIcon = LoadIcon(res::icon::kProgram);
    m_bCopiesReady = FALSE;
    m_bPagesReady = FALSE;
    m_bHasJobLog = FALSE;
    m_nAccountId = 0;
    // The saved options are applied even when they could not be loaded (a settings store that
    // cannot be opened): they start as a printer without saved options has them.
    SetSettingDefaults(*this);
}

CPdfSendDlg::~CPdfSendDlg() = default;

std::span<const CPdfSendDlg::MessageMapEntry> CPdfSendDlg::GetMessageMap() {
    return kMessageMap;
}

platform::DialogSurface& CPdfSendDlg::CreateDialogWindow() {
    auto window = std::make_unique<platform::DialogSurface>();
    BuildSettingsTemplate(*window);
    window->SetNotifySink([this](int controlId, int code) { OnCommand(controlId, code); });
    window->SetSysCommandSink([this](UINT command) { OnSysCommand(command); });
    window_ = std::move(window);
    return *window_;
}

BOOL CPdfSendDlg::Open() {
    CreateDialogWindow();
    return OnInitDialog();
}

bool CPdfSendDlg::OnCommand(int controlId, int code) {
    for (const MessageMapEntry& entry : kMessageMap) {
        if (entry.id == controlId && entry.code == code) {
            (this->*entry.handler)();
            return true;
        }
    }
    return false;
}

void CPdfSendDlg::OnHelp() {
    if (m_pApp == nullptr) {
        return;
    }
    if (help::HtmlHelpBridge* bridge = m_pApp->HelpBridge()) {
        help::OnHelp(*bridge, m_pApp->m_pszHelpFilePath);
    }
}

bool CPdfSendDlg::LookUpControls() {
    platform::DialogSurface& w = *window_;
    // In the order the controls are looked up; every one must be there.
    const bool found[] = {
        lookUp(w, ctl::kPrinterList, m_pPrinterList),
        lookUp(w, ctl::kPaperSourceList, m_pPaperSourceList),
        lookUp(w, ctl::kCopiesSpin, m_pCopiesSpin),
        lookUp(w, ctl::kDuplexCheck, m_pDuplexCheck),
        lookUp(w, ctl::kBindingLabel, m_pBindingLabel),
        lookUp(w, ctl::kBindingList, m_pBindingList),
        lookUp(w, ctl::kBindingIcon, m_pBindingIcon),
        lookUp(w, ctl::kCollateCheck, m_pCollateCheck),
        lookUp(w, ctl::kFitToPageCheck, m_pFitToPageCheck),
        lookUp(w, ctl::kPageRangeCheck, m_pPageRangeCheck),
        lookUp(w, ctl::kStartPageEdit, m_pStartPageEdit),
        lookUp(w, ctl::kEndPageEdit, m_pEndPageEdit),
        lookUp(w, ctl::kStartPageSpin, m_pStartPageSpin),
        lookUp(w, ctl::kEndPageSpin, m_pEndPageSpin),
        lookUp(w, ctl::kRangeLabel1, m_pFromPageLabel),
        lookUp(w, ctl::kRangeLabel2, m_pToPageLabel),
        lookUp(w, ctl::kPasswordCheck, m_pPasswordCheck),
        lookUp(w, ctl::kPasswordEdit, m_pPasswordEdit),
        lookUp(w, ctl::kSavePasswordButton, m_pSavePasswordButton),
        lookUp(w, ctl::kClearPasswordButton, m_pClearPasswordButton),
        lookUp(w, ctl::kPasswordLabel, m_pPasswordLabel),
        w.GetEdit(ControlId(ctl::kCopiesEdit)) != nullptr,
    };
    for (const bool ok : found) {
        if (!ok) {
            return false;
        }
    }
    return true;
}

BOOL CPdfSendDlg::OnInitDialog() {
    if (!window_) {
        CreateDialogWindow();
    }
    platform::DialogSurface& window = *window_;

    if (platform::SystemMenu* menu = window.GetSystemMenu()) {
        const CString about = LoadString(str::kAboutMenuItem);
        if (!about.empty()) {
            menu->AppendSeparator();
            menu->AppendString(IDM_ABOUTBOX, about);
        }
    }
    window.SetIcon(m_hIcon, true);
    window.SetIcon(m_hIcon, false);
    m_hIconLongEdge = LoadIcon(res::icon::kLongEdge);
    m_hIconShortEdge = LoadIcon(res::icon::kShortEdge);

    // Every handler works through these pointers: a window without one of the controls
    // cannot be driven, so it is closed rather than left to fail later.
    if (!LookUpControls()) {
        OnCancel();
        return FALSE;
    }

    m_nCopies = 1;
    m_nStartPage = 1;
    m_nEndPage = 1;
    window.SetWindowTextA(m_pApp != nullptr ? m_pApp->m_strFileName : CString());
    LoadCaptions();

    if (!FillPrinterList()) {
        OnCancel();
        return FALSE;
    }
    LoadPrinterSettings(m_strPrinterName);
    ApplyOptions(TRUE);
    return TRUE;
}

void CPdfSendDlg::LoadCaptions() {
    platform::DialogSurface& window = *window_;
    for (const Caption& caption : kCaptions) {
        window.SetDlgItemTextA(ControlId(caption.controlId), LoadString(caption.stringId));
    }
    if (platform::ComboBox* binding = window.GetComboBox(ControlId(ctl::kBindingList))) {
        binding->InsertString(0, LoadString(str::kBindingLongEdge));
        binding->InsertString(1, LoadString(str::kBindingShortEdge));
    }
}

void CPdfSendDlg::OnSysCommand(UINT nID) {
    if ((nID & kSysCommandMask) == IDM_ABOUTBOX) {
        OnAbout();
    } else if ((nID & kSysCommandMask) == SC_CLOSE) {
        OnCancel();
    }
}

void CPdfSendDlg::OnAbout() {
    if (services_.runAboutBox) {
        services_.runAboutBox();
    }
}

void CPdfSendDlg::OnCancel() {
    if (window_) {
        window_->EndDialog(platform::IDCANCEL);
    }
}

void CPdfSendDlg::OnOK() {
    if (window_) {
        window_->EndDialog(platform::IDOK);
    }
}

void CPdfSendDlg::OnCloseButton() {
    OnCancel();
}

UINT CPdfSendDlg::LoadIcon(UINT iconId) const {
    if (services_.resources == nullptr ||
        services_.resources->FindResourceData(platform::kRtGroupIcon, iconId).empty()) {
        return 0;
    }
    return iconId;
}

CString CPdfSendDlg::LoadString(UINT stringId) const {
    if (services_.resources == nullptr) {
        return {};
    }
    std::vector<char> buffer(kStringBufferSize, '\0');
    const int length = services_.resources->LoadStringA(stringId, buffer.data(), kStringBufferSize);
    return length > 0 ? CString(buffer.data(), static_cast<std::size_t>(length)) : CString();
}

int CPdfSendDlg::ShowMessage(UINT textId, UINT captionId, UINT flags) const {
    return ShowMessageText(LoadString(textId), captionId, flags);
}

int CPdfSendDlg::ShowMessageText(const CString& text, UINT captionId, UINT flags) const {
    const int answer = services_.messageBox != nullptr
                           ? services_.messageBox->Show(text, LoadString(captionId), flags, true)
                           : platform::IDCANCEL;
    // A question stops only when it is not answered Yes; an error says something cannot be
    // used, every other message refuses what the user gave.
    if ((flags & 0x0F) == platform::MB_YESNO) {
        if (answer != platform::IDYES) {
            Record(DialogOutcome::declined);
        }
    } else {
        Record(captionId == res::str::kErrorCaption ? DialogOutcome::unavailable
                                                    : DialogOutcome::refused);
    }
    return answer;
}

} // namespace nv
