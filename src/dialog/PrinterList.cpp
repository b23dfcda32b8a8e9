// The printer list of the print-settings dialog: the supported printers in the spooler's order,
// the printer chosen when the dialog opens, and what a change of the selection reloads.
#include "dialog/PdfSendDlg.h"
#include "dialog/SettingsTemplate.h"
#include "platform/format/Format.h"
#include "platform/spooler/Spooler.h"
#include "platform/text/Utf8.h"
#include "printer/PrinterDiscovery.h"
#include "resources/ResourceIds.h"
#include "settings/SettingsStore.h"

#include <array>
#include <cstdint>

namespace nv {

namespace {

using platform::CB_ERR;
namespace str = res::str;

constexpr UINT kError = platform::MB_OK | platform::MB_ICONEXCLAMATION;
// Shown as the port when the printers cannot be enumerated.
constexpr const char* kPortError = "Error!!";

// The longest file name quoted in a message: the line stays within the formatter's output cap.
constexpr std::size_t kQuotedPathMax = 512;

// Says once, as a warning, how many printers the spooler's own bound left out of the list and
// why; the list stays usable, so nothing is recorded as refused.
template <typename LoadText>
void ReportLeftOutPrinters(const DialogServices& services, LoadText loadText) {
    const std::optional<platform::LeftOutPrinters> left =
        services.spooler != nullptr ? services.spooler->LeftOut() : std::nullopt;
    if (!left || services.messageBox == nullptr) {
        return;
    }
    const CString format =
        loadText(left->atLeast ? str::kPrintersLeftOutAtLeast : str::kPrintersLeftOut);
    const CString source =
        left->source.substr(0, platform::text::Utf8PrefixLength(left->source, kQuotedPathMax));
    std::array<char, platform::kWsprintfMax> line{};
    platform::FormatChecked(
        line.data(), line.size(), format.c_str(),
        {platform::FormatArg::UInt(static_cast<std::uint32_t>(left->count)),
         platform::FormatArg::Text(source.c_str()),
         platform::FormatArg::UInt(static_cast<std::uint32_t>(left->boundBytes / 1024))});
    services.messageBox->Show(line.data(), loadText(str::kWarningCaption),
                              platform::MB_OK | platform::MB_ICONEXCLAMATION, true);
}

} // namespace

bool CPdfSendDlg::FindCapabilityFile(const CString& printerName, CString& capFile) {
    if (services_.spooler == nullptr) {
        return false;
    }
    const CapabilityFileSearch search = nv::FindCapabilityFile(*services_.spooler, printerName);
    if (search.driverDir) {
        m_strDriverDir = *search.driverDir;
    }
    if (!search.capFile) {
        return false;
    }
    capFile = *search.capFile;
    return true;
}

bool CPdfSendDlg::GetPrinterPortDriver(const CString& printerName, CString& portName,
                                       CString& driverName) {
    if (services_.spooler == nullptr) {
        return false;
    }
    // Asks the spooler afresh, for this one printer: a scan of a whole enumeration per selection
    // made selecting each of many printers in turn quadratic.
    if (const std::optional<platform::PrinterInfo> printer =
            services_.spooler->FindPrinter(printerName)) {
        portName = printer->port;
        driverName = printer->driver;
    }
    return true;
}

BOOL CPdfSendDlg::FillPrinterList() {
    const std::vector<platform::PrinterInfo> printers = services_.spooler != nullptr
                                                            ? services_.spooler->EnumPrinters()
                                                            : std::vector<platform::PrinterInfo>();
    ReportLeftOutPrinters(services_, [this](UINT id) { return LoadString(id); });
    if (printers.empty()) {
        ShowSchedulerSilence();
        ShowMessage(str::kNoPrinter, str::kErrorCaption, kError);
        return FALSE;
    }
    for (const platform::PrinterInfo& printer : printers) {
        CString capFile;
        if (FindCapabilityFile(printer.name, capFile)) {
            m_pPrinterList->InsertString(m_pPrinterList->GetCount(), printer.name);
        }
    }
    if (m_pPrinterList->GetCount() == 0) {
        ShowSchedulerSilence();
        ShowMessage(str::kNoSupportedPrinter, str::kErrorCaption, kError);
        return FALSE;
    }

    SelectInitialPrinter();

    if (m_strPrinterName.empty() ||
        m_pPrinterList->FindStringExact(-1, m_strPrinterName) == CB_ERR) {
        m_pPrinterList->GetLBText(m_pPrinterList->GetTopIndex(), m_strPrinterName);
    }
    m_pPrinterList->SetCurSel(m_pPrinterList->FindStringExact(-1, m_strPrinterName));
    OnSelchangePrinter();
    return TRUE;
}

void CPdfSendDlg::ShowSchedulerSilence() const {
    CString server;
    if (services_.spooler == nullptr || services_.messageBox == nullptr ||
        services_.spooler->SchedulerProblem(&server) == platform::SchedulerSilence::none) {
        return;
    }
    CString text = LoadString(server.empty() ? str::kSchedulerSilent : str::kSchedulerSilentAt);
    if (!server.empty()) {
        char line[1024];
        platform::wsprintfA(line, sizeof line, text.c_str(),
                            {platform::FormatArg::Text(server.c_str())});
        text = line;
    }
    services_.messageBox->Show(text, LoadString(str::kErrorCaption), kError, true);
}

void CPdfSendDlg::SelectInitialPrinter() {
    if (services_.registry == nullptr) {
        return;
    }
    const std::optional<CString> saved = ReadSavedPrinter(*services_.registry);
    if (!saved) {
        return;
    }
    CString printerName = *saved;
    if (printerName.empty()) {
        // The user's default printer, when it is supported; else the top entry.
        const CString defaultPrinter =
            services_.spooler != nullptr ? services_.spooler->GetDefaultPrinter() : CString();
        CString capFile;
        if (!defaultPrinter.empty() && FindCapabilityFile(defaultPrinter, capFile)) {
            m_pPrinterList->SetCurSel(m_pPrinterList->FindStringExact(-1, defaultPrinter));
            printerName = defaultPrinter;
        } else {
            const int top = m_pPrinterList->GetTopIndex();
            m_pPrinterList->GetLBText(top, printerName);
            m_pPrinterList->SetCurSel(top);
        }
    }

    TakePrinter(printerName);
}

void CPdfSendDlg::TakePrinter(const CString& printerName) {
    CString portName;
    CString driverName;
    if (!GetPrinterPortDriver(printerName, portName, driverName)) {
        portName = kPortError;
    }
    window_->SetDlgItemTextA(ControlId(res::ctl::kPortText), portName);
    CString capFile;
    FindCapabilityFile(printerName, capFile);

    m_strPrinterName = printerName;
    m_strPortName = portName;
    m_strDriverName = driverName;
    m_strCapFile = capFile;
    LoadCapability(m_strDriverName, m_strCapFile);
}

void CPdfSendDlg::OnSelchangePrinter() {
    CString printerName;
    m_pPrinterList->GetLBText(m_pPrinterList->GetCurSel(), printerName);

    TakePrinter(printerName);
    LoadPrinterSettings(m_strPrinterName);
    ApplyOptions(TRUE);
    m_nStartPage = 1;
    m_nEndPage = 1;
}

} // namespace nv
