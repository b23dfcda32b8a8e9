#include "cli/PrinterListing.h"

#include "cli/CliTexts.h"
#include "cli/TerminalText.h"
#include "dialog/SettingsTemplate.h"
#include "job/JobHeader.h"
#include "resources/ResourceIds.h"

#include <optional>
#include <string>

namespace nv::cli {

namespace {

namespace str = res::str;

// Why the model offers no page range: its dialect leaves the range out of the job header, or
// the model itself does not offer one ("").
std::string NoRangeReason(const CPdfSendDlg& dlg, const CliTexts& text) {
    if (HeaderCarriesPageRange(dlg.m_nPrinterType, dlg.m_bOpenEndRange)) {
        return {};
    }
    const std::string type = std::to_string(static_cast<unsigned>(dlg.m_nPrinterType));
    return text(dlg.m_bOpenEndRange && dlg.m_nPrinterType != kDialectPlain
                    ? str::kCliOpenRangeNotCarried
                    : str::kCliRangeNotCarried,
                {type});
}

// The queue's state in the library's words: "paused, not accepting jobs: Out of paper".
std::string QueueStateText(const platform::ResourceModule& texts,
                           const platform::QueueStatus& status) {
    std::string text;
    if (status.state != platform::QueueState::unknown) {
        text = texts.LoadText(res::str::kQueueIdle + static_cast<UINT>(status.state) - 1);
    }
    if (!status.accepting) {
        text += (text.empty() ? "" : ", ") + texts.LoadText(res::str::kQueueNotAcceptingWord);
    }
    if (!status.message.empty()) {
        text += (text.empty() ? "" : ": ") + TerminalSafe(status.message);
    }
    return text;
}

void Describe(CPdfSendDlg& dlg, bool selected, const DialogServices& services, std::FILE* out,
              const CliTexts& text) {
    const auto yesNo = [&text](BOOL value) { return text(value ? str::kCliYes : str::kCliNo); };
    const auto line = [out](const std::string& shown) { std::fprintf(out, "%s\n", shown.c_str()); };
    // Names come from the spooler, the driver and the capability file: shown escaped.
    line(TerminalSafe(dlg.m_strPrinterName) + (selected ? text(str::kCliListSelected) : ""));
    line(text(str::kCliListDriver, {TerminalSafe(dlg.m_strDriverName)}));
    line(text(str::kCliListPort, {TerminalSafe(dlg.m_strPortName)}));
    if (const std::optional<platform::QueueStatus> status =
            services.spooler != nullptr ? services.spooler->GetQueueStatus(dlg.m_strPrinterName)
                                        : std::nullopt) {
        line(services.resources->LoadText(str::kStateLabel) +
             QueueStateText(*services.resources, *status));
    }
    if (dlg.m_bModelUnsupported) {
        // The other members are the previous model's: nothing of them describes this one.
        line(text(str::kCliListType, {TerminalSafe(dlg.LoadString(str::kModelNotSupported) + ": " +
                                                   dlg.LoadString(str::kBadPrinterType))}));
        return;
    }
    line(text(str::kCliListType, {std::to_string(static_cast<unsigned>(dlg.m_nPrinterType))}));
    std::string trays;
    if (dlg.m_pPaperSourceList != nullptr) {
        for (const CString& item : dlg.m_pPaperSourceList->items()) {
            trays += (trays.empty() ? "" : ", ") + dlg.TrayKeyFor(item) + " \"" + item + "\"";
        }
    }
    line(text(str::kCliListTrays, {trays.empty() ? text(str::kCliNone) : TerminalSafe(trays)}));
    line(text(str::kCliListDuplex, {yesNo(dlg.m_bCanDuplex)}));
    line(text(str::kCliListCollate, {yesNo(dlg.m_bCanCollate)}));
    line(text(str::kCliListFit, {yesNo(dlg.m_bCanFitToPage)}));
    if (dlg.m_bCanPageRange) {
        line(text(str::kCliListRangeYes, {yesNo(dlg.m_bOpenEndRange), yesNo(dlg.m_bRangeWithDuplex),
                                          yesNo(dlg.m_bRangeWithCopies)}));
    } else if (const std::string reason = NoRangeReason(dlg, text); !reason.empty()) {
        line(text(str::kCliListRangeNoBecause, {reason}));
    } else {
        line(text(str::kCliListRangeNo));
    }
    line(text(str::kCliListPassword, {yesNo(dlg.m_bCanPassword)}));
}

} // namespace

CliStatus ListPrinters(const DialogServices& services, std::FILE* out) {
    const CliTexts text(services.resources);
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
        Describe(dlg, i == selected, services, out, text);
    }
    dlg.OnCancel();
    CString server;
    if (services.spooler != nullptr &&
        services.spooler->SchedulerProblem(&server) == platform::SchedulerSilence::silent) {
        std::fprintf(stderr, "%s\n",
                     services.resources->LoadText(res::str::kOnlyDirectPrinters).c_str());
    }
    return kStatusPrinted;
}

} // namespace nv::cli
