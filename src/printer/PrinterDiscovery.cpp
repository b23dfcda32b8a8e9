// The printer list of the print-settings dialog: only the installed printers whose driver lists
// a capability file that marks the model supported, in the spooler's order; the printer chosen
// when the dialog opens; and what a change of the selection reloads.
#include "dialog/PdfSendDlg.h"
#include "dialog/SettingsTemplate.h"
#include "platform/profile/Profile.h"
#include "platform/spooler/Spooler.h"
#include "printer/CapabilityFile.h"
#include "resources/ResourceIds.h"
#include "settings/SettingsStore.h"

#include <cstddef>

namespace nv {

namespace {

using platform::CB_ERR;
namespace str = res::str;

constexpr UINT kError = platform::MB_OK | platform::MB_ICONEXCLAMATION;
// Shown as the port when the printers cannot be enumerated.
constexpr const char* kPortError = "Error!!";
constexpr const char* kCapabilitySuffix = ".cap";
constexpr const char* kCapabilityPrefix = "nv";

// Both separators are taken: the driver records give paths in the platform's form, and '\'
// stands in no file name a driver lists.
bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

std::size_t lastSeparator(const CString& path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (isSeparator(path[i - 1])) {
            return i - 1;
        }
    }
    return CString::npos;
}

bool equalsIgnoringAsciiCase(std::string_view text, std::string_view lowerCase) {
    if (text.size() != lowerCase.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c =
            (text[i] >= 'A' && text[i] <= 'Z') ? static_cast<char>(text[i] + 32) : text[i];
        if (c != lowerCase[i]) {
            return false;
        }
    }
    return true;
}

// A dependent file is a capability-file candidate when it ends in ".cap" and its file name
// begins with "nv", both without regard to case.
bool isCandidate(const CString& entry) {
    const std::string_view suffix = kCapabilitySuffix;
    const std::string_view prefix = kCapabilityPrefix;
    if (entry.size() < suffix.size() ||
        !equalsIgnoringAsciiCase(std::string_view(entry).substr(entry.size() - suffix.size()),
                                 suffix)) {
        return false;
    }
    const std::size_t separator = lastSeparator(entry);
    const std::string_view name =
        std::string_view(entry).substr(separator == CString::npos ? 0 : separator + 1);
    return name.size() >= prefix.size() &&
           equalsIgnoringAsciiCase(name.substr(0, prefix.size()), prefix);
}

} // namespace

bool CPdfSendDlg::FindCapabilityFile(const CString& printerName, CString& capFile) {
    if (services_.spooler == nullptr) {
        return false;
    }
    const std::unique_ptr<platform::IPrinter> printer = services_.spooler->OpenPrinter(printerName);
    if (!printer) {
        return false;
    }
    platform::DriverInfo driver;
    if (!printer->GetPrinterDriver(&driver)) {
        return false;
    }
    for (const CString& entry : driver.dependentFiles) {
        if (entry.empty()) {
            break; // the list ends at its first empty entry
        }
        if (!isCandidate(entry)) {
            continue;
        }
        // The driver's folder comes from its record: cutting the driver path at its last
        // separator would split a driver name that holds a backslash.
        m_strDriverDir = driver.directory;
        const CString path = lastSeparator(entry) != CString::npos ? entry : m_strDriverDir + entry;
        const CString model = LookUpModelSection(path, driver.name);
        const UINT flags =
            platform::GetPrivateProfileIntA(model.c_str(), "DirectPrint", 0, path.c_str());
        if ((flags & kDirectPrintSupported) != 0) {
            capFile = path;
            return true;
        }
    }
    return false;
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
    if (printers.empty()) {
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
