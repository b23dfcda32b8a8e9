#include "cli/PrinterListing.h"

#include "cli/TerminalText.h"
#include "dialog/SettingsTemplate.h"
#include "resources/ResourceIds.h"

#include <string>

namespace nv::cli {

namespace {

const char* YesNo(BOOL value) {
    return value ? "yes" : "no";
}

void Describe(CPdfSendDlg& dlg, bool selected, std::FILE* out) {
    // Names come from the spooler, the driver and the capability file: shown escaped.
    std::fprintf(out, "%s%s\n", TerminalSafe(dlg.m_strPrinterName).c_str(),
                 selected ? "  (selected)" : "");
    std::fprintf(out, "  driver:        %s\n", TerminalSafe(dlg.m_strDriverName).c_str());
    std::fprintf(out, "  port:          %s\n", TerminalSafe(dlg.m_strPortName).c_str());
    if (dlg.m_bModelUnsupported) {
        // The other members are the previous model's: nothing of them describes this one.
        std::fprintf(out, "  printer type:  %s: %s\n",
                     TerminalSafe(dlg.LoadString(res::str::kModelNotSupported)).c_str(),
                     TerminalSafe(dlg.LoadString(res::str::kBadPrinterType)).c_str());
        return;
    }
    std::fprintf(out, "  printer type:  %u\n", static_cast<unsigned>(dlg.m_nPrinterType));
    std::string trays;
    if (dlg.m_pPaperSourceList != nullptr) {
        for (const CString& text : dlg.m_pPaperSourceList->items()) {
            trays += (trays.empty() ? "" : ", ") + dlg.TrayKeyFor(text) + " \"" + text + "\"";
        }
    }
    std::fprintf(out, "  paper sources: %s\n",
                 trays.empty() ? "none" : TerminalSafe(trays).c_str());
    std::fprintf(out, "  duplex:        %s\n", YesNo(dlg.m_bCanDuplex));
    std::fprintf(out, "  collate:       %s\n", YesNo(dlg.m_bCanCollate));
    std::fprintf(out, "  fit to page:   %s\n", YesNo(dlg.m_bCanFitToPage));
    if (dlg.m_bCanPageRange) {
        std::fprintf(out,
                     "  page range:    yes (open end: %s, with duplex: %s, with uncollated "
                     "copies: %s)\n",
                     YesNo(dlg.m_bOpenEndRange), YesNo(dlg.m_bRangeWithDuplex),
                     YesNo(dlg.m_bRangeWithCopies));
    } else {
        std::fprintf(out, "  page range:    no\n");
    }
    std::fprintf(out, "  password:      %s\n", YesNo(dlg.m_bCanPassword));
}

} // namespace

CliStatus ListPrinters(const DialogServices& services, std::FILE* out) {
    CPdfSendDlg dlg(nullptr, services);
    if (!dlg.Open() || dlg.GetWindow()->IsEnded() || dlg.m_pPrinterList == nullptr) {
        return kStatusStartup;
    }
    platform::ComboBox& list = *dlg.m_pPrinterList;
    const int selected = list.GetCurSel();
    for (int i = 0; i < list.GetCount(); ++i) {
        if (i != list.GetCurSel()) {
            list.SetCurSel(i);
            dlg.OnSelchangePrinter();
        }
        Describe(dlg, i == selected, out);
    }
    dlg.OnCancel();
    return kStatusPrinted;
}

} // namespace nv::cli
