#include "cli/HeadlessRun.h"

#include "app/PdfSendApp.h"
#include "cli/TerminalText.h"
#include "dialog/SettingsTemplate.h"
#include "printer/CapabilityFile.h"
#include "resources/ResourceIds.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace nv::cli {

namespace {

namespace ctl = res::ctl;
namespace str = res::str;

// The index of the item whose text is TEXT: byte for byte first, else the list's own
// case-insensitive whole-text search. -1 when none.
int FindItem(const platform::ComboBox& list, const std::string& text) {
    const auto& items = list.items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text) {
            return static_cast<int>(i);
        }
    }
    return list.FindStringExact(-1, text);
}

// The display text's string ID of tray key KEY (any case), or none.
std::optional<UINT> TrayStringIdOfKey(const std::string& key) {
    for (const TrayKey& tray : kTrayKeys) {
        const std::string_view name = tray.key;
        if (name.size() == key.size() &&
            std::equal(name.begin(), name.end(), key.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            })) {
            return tray.textId;
        }
    }
    return std::nullopt;
}

std::string JoinItems(const platform::ComboBox& list, const CliTexts& text) {
    std::string joined;
    for (const CString& item : list.items()) {
        joined += (joined.empty() ? "\"" : ", \"") + item + "\"";
    }
    return joined.empty() ? text(str::kCliNone) : joined;
}

} // namespace

int HeadlessRun::Run(CPdfSendDlg& dlg) {
    ran_ = true;
    dlg_ = &dlg;
    dlg.Open();
    window_ = dlg.GetWindow();
    if (window_ == nullptr) {
        status_ = kStatusStartup;
        return -1;
    }
    if (window_->IsEnded()) {
        // No supported printer: the dialog said so and ended before it was shown.
        status_ = StatusOf(dlg.TakeOutcome(), kStatusStartup);
        return window_->GetEndResult();
    }
    if (ApplyOptions()) {
        dlg.TakeOutcome();
        window_->Click(ControlId(ctl::kPrintButton));
        const DialogOutcome outcome = dlg.TakeOutcome();
        status_ = StatusOf(outcome, kStatusNotSent);
        // Every other failure was named by the dialog's own message.
        if (outcome == DialogOutcome::cancelled) {
            std::fprintf(err_, "%s\n", text_(str::kCliInterrupted, {program_}).c_str());
        }
    }
    if (!window_->IsEnded()) {
        dlg.OnCancel();
    }
    return window_->GetEndResult();
}

bool HeadlessRun::ApplyOptions() {
    const CliOptions& o = options_;
    if (o.printer && !SelectPrinter(*o.printer)) {
        return false;
    }
    if (o.defaults && !Press(ctl::kDefaultsButton, "--defaults")) {
        return false;
    }
    if (o.tray && !SelectTray(*o.tray)) {
        return false;
    }
    if (o.copies && !Type(ctl::kCopiesEdit, *o.copies, "--copies")) {
        return false;
    }
    if (o.collate &&
        !SetCheck(ctl::kCollateCheck, *o.collate, *o.collate ? "--collate" : "--no-collate")) {
        return false;
    }
    if (o.duplex) {
        const bool on = *o.duplex != Duplex::off;
        if (!SetCheck(ctl::kDuplexCheck, on, on ? "--duplex" : "--duplex off")) {
            return false;
        }
        if (on && !PickItem(ctl::kBindingList, *o.duplex == Duplex::longEdge ? 0 : 1, "--duplex")) {
            return false;
        }
    }
    if (o.fitToPage &&
        !SetCheck(ctl::kFitToPageCheck, *o.fitToPage, *o.fitToPage ? "--fit" : "--no-fit")) {
        return false;
    }
    if (o.pages && (!SetCheck(ctl::kPageRangeCheck, true, "--pages") ||
                    !Type(ctl::kStartPageEdit, o.pages->start, "--pages") ||
                    !Type(ctl::kEndPageEdit, o.pages->end, "--pages"))) {
        return false;
    }
    if (o.passwordFromStdin &&
        (!SetCheck(ctl::kPasswordCheck, true, "--password-stdin") ||
         !Type(ctl::kPasswordEdit, password_.value_or(""), "--password-stdin"))) {
        return false;
    }
    if (o.save && !Save()) {
        return false;
    }
    return true;
}

bool HeadlessRun::SelectPrinter(const std::string& name) {
    platform::ComboBox* list = window_->GetComboBox(ControlId(ctl::kPrinterList));
    const int index = list != nullptr ? FindItem(*list, name) : -1;
    if (index < 0) {
        return Refused(
            text_(str::kCliNoSuchPrinter,
                  {name, list != nullptr ? JoinItems(*list, text_) : text_(str::kCliNone)}));
    }
    return PickItem(ctl::kPrinterList, index, "--printer");
}

bool HeadlessRun::SelectTray(const std::string& keyOrText) {
    platform::ComboBox* list = window_->GetComboBox(ControlId(ctl::kPaperSourceList));
    if (list == nullptr) {
        return Disabled("--tray");
    }
    int index = -1;
    const platform::ResourceModule* resources =
        dlg_->m_pApp != nullptr ? dlg_->m_pApp->m_hResLib.get() : nullptr;
    if (const auto stringId = TrayStringIdOfKey(keyOrText); stringId && resources != nullptr) {
        index = FindItem(*list, resources->LoadText(*stringId));
    }
    if (index < 0) {
        index = FindItem(*list, keyOrText);
    }
    if (index < 0) {
        return Refused(text_(str::kCliNoSuchTray,
                             {dlg_->m_strPrinterName, keyOrText, JoinItems(*list, text_)}));
    }
    return PickItem(ctl::kPaperSourceList, index, "--tray");
}

bool HeadlessRun::SetCheck(UINT id, bool checked, const char* option) {
    const int control = ControlId(id);
    if ((window_->IsDlgButtonChecked(control) == platform::BST_CHECKED) == checked) {
        return true;
    }
    if (!window_->IsWindowEnabled(control)) {
        return Disabled(option);
    }
    return Accepted([&] { window_->Click(control); });
}

bool HeadlessRun::PickItem(UINT id, int index, const char* option) {
    const int control = ControlId(id);
    platform::ComboBox* list = window_->GetComboBox(control);
    if (list != nullptr && list->GetCurSel() == index) {
        return true;
    }
    if (list == nullptr || !window_->IsWindowEnabled(control)) {
        return Disabled(option);
    }
    return Accepted([&] { window_->PickItem(control, index); });
}

bool HeadlessRun::Type(UINT id, const std::string& text, const char* option) {
    const int control = ControlId(id);
    if (window_->GetDlgItemText(control) == text) {
        return true;
    }
    if (!window_->IsWindowEnabled(control)) {
        return Disabled(option);
    }
    if (!Accepted([&] { window_->TypeText(control, text); })) {
        return false;
    }
    if (window_->GetDlgItemText(control) != text) {
        return Refused(text_(str::kCliFieldRefused, {option, text}));
    }
    return true;
}

bool HeadlessRun::Press(UINT id, const char* option) {
    const int control = ControlId(id);
    if (!window_->IsWindowEnabled(control)) {
        return Disabled(option);
    }
    return Accepted([&] { window_->Click(control); });
}

bool HeadlessRun::Save() {
    if (settings_ != nullptr) {
        settings_->TakeWriteError();
    }
    if (!Press(ctl::kSaveSettingsButton, "--save")) {
        return false;
    }
    const LONG rc = settings_ != nullptr ? settings_->TakeWriteError() : platform::ERROR_SUCCESS;
    if (rc != platform::ERROR_SUCCESS) {
        std::fprintf(err_, "%s\n",
                     text_(str::kCliSaveFailed,
                           {program_, TerminalSafe(settingsFile_), SettingsWriteProblem(rc, text_)})
                         .c_str());
        status_ = kStatusNotSent;
        return false;
    }
    return true;
}

CliStatus HeadlessRun::StatusOf(DialogOutcome outcome, CliStatus ifNone) {
    switch (outcome) {
    case DialogOutcome::none:
        return ifNone;
    case DialogOutcome::refused:
        return kStatusRefused;
    case DialogOutcome::declined:
        return kStatusDeclined;
    case DialogOutcome::unavailable:
        return kStatusStartup;
    case DialogOutcome::jobFailed:
    case DialogOutcome::cancelled:
        return kStatusNotSent;
    case DialogOutcome::sent:
        return kStatusPrinted;
    }
    return ifNone;
}

bool HeadlessRun::Accepted(const std::function<void()>& action) {
    dlg_->TakeOutcome();
    action();
    const DialogOutcome outcome = dlg_->TakeOutcome();
    if (outcome == DialogOutcome::none) {
        return true;
    }
    status_ = StatusOf(outcome, kStatusRefused);
    return false;
}

bool HeadlessRun::Disabled(const char* option) {
    std::fprintf(
        err_, "%s\n",
        text_(str::kCliOptionDisabled, {program_, option, TerminalSafe(dlg_->m_strPrinterName)})
            .c_str());
    status_ = kStatusDisabled;
    return false;
}

bool HeadlessRun::Refused(const std::string& what) {
    // WHAT quotes printer names, paper sources and the user's own arguments.
    std::fprintf(err_, "%s: %s\n", program_.c_str(), TerminalSafe(what).c_str());
    status_ = kStatusRefused;
    return false;
}

} // namespace nv::cli
