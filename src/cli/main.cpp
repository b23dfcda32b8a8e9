// norvane-print: the program without a window. The same start-up, dialog and print job as the
// window program; the options of the command line stand for what a user does in the dialog,
// and message boxes are written to standard error.
#include "app/PdfSendApp.h"
#include "cli/Arguments.h"
#include "cli/CliMessageBox.h"
#include "cli/CliOptions.h"
#include "cli/CliTexts.h"
#include "cli/DryRunSpooler.h"
#include "cli/HeadlessRun.h"
#include "cli/Interrupts.h"
#include "cli/JobFollowUp.h"
#include "cli/PrinterListing.h"
#include "cli/Terminal.h"
#include "cli/TerminalProgress.h"
#include "cli/TerminalText.h"
#include "cli/WatchedRegistry.h"
#include "platform/files/Files.h"
#include "platform/modules/Modules.h"
#include "platform/modules/UserLanguage.h"
#include "platform/registry/Registry.h"
#include "platform/spooler/SystemSpooler.h"
#include "resources/ResourceIds.h"

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace nv;

constexpr const char* kProgram = "norvane-print";
// The longest password the dialog takes. One byte more is read from standard input, so that
// the dialog refuses a longer line with its own message, and no more, so that input without a
// line end cannot hold the run.
constexpr std::size_t kPasswordLineMax = 128;

// "norvane-print (Velmora Quillet) 3.0.0.3" and the copyright line, from the executable's own
// version information.
int PrintVersion() {
    const auto strings = platform::ReadVersionStrings(platform::GetModuleFileName());
    std::string version = "unknown";
    std::string product;
    std::string copyright;
    if (strings) {
        for (const auto& value : strings->values) {
            if (value.name == "FileVersion") {
                version.clear();
                for (char c : value.value) {
                    if (c == ',') {
                        version += '.';
                    } else if (c != ' ') {
                        version += c;
                    }
                }
            } else if (value.name == "ProductName") {
                product = value.value;
            } else if (value.name == "LegalCopyright") {
                copyright = value.value;
            }
        }
    }
    std::printf("%s%s%s%s %s\n", kProgram, product.empty() ? "" : " (", product.c_str(),
                product.empty() ? "" : ")", version.c_str());
    if (!copyright.empty()) {
        std::printf("%s\n", copyright.c_str());
    }
    return cli::kStatusPrinted;
}

// The text of PROBLEM in the user's language.
std::string RefusalText(const cli::CliTexts& text, const cli::DryRunProblem& problem) {
    switch (problem.reason) {
    case cli::DryRunRefusal::none:
        break;
    case cli::DryRunRefusal::folder:
        return text(res::str::kDryRunIsFolder);
    case cli::DryRunRefusal::blockDevice:
        return text(res::str::kDryRunIsBlockDevice);
    case cli::DryRunRefusal::notFileDeviceOrFifo:
        return text(res::str::kDryRunNotFileDeviceFifo);
    case cli::DryRunRefusal::notFileDeviceOrPipe:
        return text(res::str::kDryRunNotFileDevicePipe);
    case cli::DryRunRefusal::input:
        return text(res::str::kDryRunIsInput);
    case cli::DryRunRefusal::danglingLink:
        return text(res::str::kDryRunDanglingLink);
    case cli::DryRunRefusal::badName:
        return text(res::str::kDryRunBadName);
    case cli::DryRunRefusal::noFolder:
        return text(res::str::kDryRunNoFolder);
    case cli::DryRunRefusal::system:
        return text(res::str::kDryRunSystemError, {std::to_string(problem.systemError)});
    }
    return {};
}

// RESOURCES is the resource library in the user's language, loaded already.
int Run(const cli::CliOptions& options, const platform::ResourceModule& resources) {
    const cli::CliTexts text(&resources);
    std::optional<std::string> password;
    if (options.passwordFromStdin) {
        password = cli::ReadLine(stdin, kPasswordLineMax);
        if (!password) {
            std::fprintf(stderr, "%s\n", text(res::str::kCliNoPassword, {kProgram}).c_str());
            return cli::kStatusUsage;
        }
    }

    if (options.dryRunFile) {
        const cli::DryRunProblem problem =
            cli::DryRunFileProblem(*options.dryRunFile, options.pdfPath);
        if (problem.reason != cli::DryRunRefusal::none) {
            std::fprintf(stderr, "%s: --dry-run %s: %s\n", kProgram,
                         cli::TerminalSafe(*options.dryRunFile).c_str(),
                         RefusalText(text, problem).c_str());
            return cli::kStatusUsage;
        }
    }

    std::unique_ptr<platform::IRegistry> store = platform::OpenUserRegistry();
    cli::WatchedRegistry registry(*store);
    std::unique_ptr<platform::ISpooler> systemSpooler =
        platform::CreateSystemSpooler(options.printer.value_or(std::string()));
    std::unique_ptr<platform::ISpooler> dryRun;
    std::unique_ptr<cli::HandOverSpooler> handOver;
    platform::ISpooler* spooler = systemSpooler.get();
    if (options.dryRunFile) {
        dryRun = std::make_unique<cli::DryRunSpooler>(*systemSpooler, *options.dryRunFile,
                                                      options.pdfPath);
        spooler = dryRun.get();
    } else if (!options.list) {
        std::optional<int> closeWaitMs;
        if (options.wait) {
            closeWaitMs = options.waitSeconds && *options.waitSeconds < INT_MAX / 1000
                              ? static_cast<int>(*options.waitSeconds * 1000)
                              : INT_MAX;
        }
        handOver = std::make_unique<cli::HandOverSpooler>(*systemSpooler, closeWaitMs);
        spooler = handOver.get();
    }
    // Standard input answers the version question only when it was not the password's source.
    cli::CliMessageBox boxes(stderr, stdin, options.yes, !options.passwordFromStdin);

    DialogServices dialog;
    dialog.messageBox = &boxes;
    dialog.registry = &registry;
    dialog.spooler = spooler;

    if (options.list) {
        dialog.resources = &resources;
        return cli::ListPrinters(dialog, stdout);
    }

    // An interrupt stops the job being sent and cancels it.
    dialog.cancelRequested = [] { return cli::InterruptGuard::Requested(); };

    // Large documents show how far they are on a terminal.
    cli::TerminalProgress progress(stderr, FileNameOf(options.pdfPath), text);
    if (!options.quiet && cli::IsTerminal(stderr)) {
        dialog.progress = &progress;
    }

    cli::HeadlessRun run(options, password, stderr, kProgram, text);
    run.WatchSaves(registry, platform::UserRegistryLocation());
    AppServices services;
    services.dialog = dialog;
    services.moduleFileName = [] { return platform::GetModuleFileName(); };
    services.userLanguages = [] { return platform::UserLanguages(); };
    services.commandLine = [&options] { return CString(options.pdfPath); };
    services.runModal = [&run](CPdfSendDlg& dlg) { return run.Run(dlg); };

    CPdfSendApp app(std::move(services));
    app.InitInstance();
    app.ExitInstance();
    if (!handOver || !run.Ran()) {
        return run.Status();
    }
    const cli::FollowUp followUp{resources, *handOver, stdout, stderr,
                                 [] { return cli::InterruptGuard::Requested(); }};
    if (run.Status() == cli::kStatusPrinted && handOver->Handed()) {
        return cli::ReportHandedJob(followUp, options, *handOver->Handed());
    }
    if (!handOver->LastOpened().empty()) {
        cli::ReportRefusingQueue(followUp, handOver->LastOpened());
    }
    return run.Status();
}

} // namespace

int main(int argc, char** argv) {
    platform::RestrictCodeModuleSearch();
    cli::ConsoleText console;
    const std::vector<std::string> args = cli::ProgramArguments(argc, argv);
    // Everything the program says comes from the resource library of the user's language, the
    // one the run itself loads.
    const CString programDir = ProgramDirectoryOf(platform::GetModuleFileName());
    const std::unique_ptr<platform::ResourceModule> resources =
        programDir.empty() ? nullptr
                           : platform::ResourceModule::Load(
                                 ChooseResourceLibrary(programDir, platform::UserLanguages()));
    const cli::CliTexts text(resources.get());
    const cli::ParseResult parsed = cli::ParseCliOptions(args, text);
    if (parsed.options.version && !parsed.failed) {
        return PrintVersion();
    }
    if (!resources) {
        cli::CliMessageBox boxes(stderr, stdin, false, false);
        ShowStartupFailure(boxes);
        return cli::kStatusStartup;
    }
    if (parsed.failed) {
        std::fprintf(
            stderr, "%s\n",
            text(res::str::kCliUsageError, {kProgram, cli::TerminalSafe(parsed.error)}).c_str());
        return cli::kStatusUsage;
    }
    if (parsed.options.help) {
        std::fputs(cli::UsageText(kProgram, text).c_str(), stdout);
        return cli::kStatusPrinted;
    }
    cli::InterruptGuard interrupts;
    const int status = Run(parsed.options, *resources);
    if (status != cli::kStatusPrinted) {
        // Ended by the signal, once everything the run held was released and the console is
        // as the program found it.
        std::fflush(nullptr);
        console.Restore();
        interrupts.ReRaise();
    }
    return status;
}
