// The print-settings dialog run without a window: opened with the saved settings, then the
// command line's options applied through its controls as a user would apply them, then Print
// pressed. What ended the run becomes the front end's exit status.
#pragma once

#include "cli/CliOptions.h"
#include "cli/CliTexts.h"
#include "cli/WatchedRegistry.h"
#include "dialog/PdfSendDlg.h"

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

namespace nv::cli {

class HeadlessRun {
public:
    // OPTIONS are applied in the documented order; PASSWORD (read by the caller) is typed when
    // OPTIONS asks for it. ERR receives the front end's own complaints, prefixed with PROGRAM
    // and worded from TEXT.
    HeadlessRun(const CliOptions& options, std::optional<std::string> password, std::FILE* err,
                std::string program, CliTexts text)
        : options_(options), password_(std::move(password)), err_(err),
          program_(std::move(program)), text_(text) {}

    // Runs DLG as the modal dialog: opens it, applies the options, presses Print and ends it.
    // Returns how the dialog ended.
    int Run(CPdfSendDlg& dlg);

    // Makes a --save whose writes to REGISTRY fail end the run before Print, with a message
    // naming FILE (the settings file) and status kStatusNotSent.
    void WatchSaves(WatchedRegistry& registry, std::string file) {
        settings_ = &registry;
        settingsFile_ = std::move(file);
    }

    // Whether the dialog was run at all (start-up reached it).
    bool Ran() const { return ran_; }
    // The exit status of the run (kStatusStartup when it never ran).
    CliStatus Status() const { return ran_ ? status_ : kStatusStartup; }

private:
    bool ApplyOptions();
    bool SelectPrinter(const std::string& name);
    bool SelectTray(const std::string& keyOrText);
    bool SetCheck(UINT id, bool checked, const char* option);
    bool PickItem(UINT id, int index, const char* option);
    bool Type(UINT id, const std::string& text, const char* option);
    bool Press(UINT id, const char* option);
    bool Save();
    // Runs ACTION on the dialog's window; false, with the status of what the dialog recorded,
    // when the dialog refused it, declined or reported an error.
    bool Accepted(const std::function<void()>& action);
    // The exit status of OUTCOME; IFNONE when nothing was recorded.
    static CliStatus StatusOf(DialogOutcome outcome, CliStatus ifNone);
    bool Disabled(const char* option);
    bool Refused(const std::string& what);

    const CliOptions& options_;
    std::optional<std::string> password_;
    std::FILE* err_;
    std::string program_;
    CliTexts text_;
    WatchedRegistry* settings_ = nullptr;
    std::string settingsFile_;
    CPdfSendDlg* dlg_ = nullptr;
    platform::DialogSurface* window_ = nullptr;
    bool ran_ = false;
    CliStatus status_ = kStatusNotSent;
};

} // namespace nv::cli
