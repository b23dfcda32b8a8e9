// norvane-print: the program without a window. The same start-up, dialog and print job as the
// window program; the options of the command line stand for what a user does in the dialog,
// and message boxes are written to standard error.
#include "app/PdfSendApp.h"
#include "cli/Arguments.h"
#include "cli/CliMessageBox.h"
#include "cli/CliOptions.h"
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

int Run(const cli::CliOptions& options) {
    std::optional<std::string> password;
    if (options.passwordFromStdin) {
        password = cli::ReadLine(stdin, kPasswordLineMax);
        if (!password) {
            std::fprintf(stderr, "%s: --password-stdin: no password on standard input\n", kProgram);
            return cli::kStatusUsage;
        }
    }

    if (options.dryRunFile) {
        const std::string problem = cli::DryRunFileProblem(*options.dryRunFile, options.pdfPath);
        if (!problem.empty()) {
            std::fprintf(stderr, "%s: --dry-run %s: %s\n", kProgram,
                         cli::TerminalSafe(*options.dryRunFile).c_str(), problem.c_str());
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

    const auto loadResources = [] {
        const CString programDir = ProgramDirectoryOf(platform::GetModuleFileName());
        return programDir.empty()
                   ? nullptr
                   : platform::ResourceModule::Load(programDir + res::kResourceLibrary);
    };
    if (options.list) {
        auto resources = loadResources();
        if (!resources) {
            ShowStartupFailure(boxes);
            return cli::kStatusStartup;
        }
        dialog.resources = resources.get();
        return cli::ListPrinters(dialog, stdout);
    }

    // An interrupt stops the job being sent and cancels it.
    dialog.cancelRequested = [] { return cli::InterruptGuard::Requested(); };

    // Large documents show how far they are on a terminal.
    cli::TerminalProgress progress(stderr, FileNameOf(options.pdfPath));
    if (!options.quiet && cli::IsTerminal(stderr)) {
        dialog.progress = &progress;
    }

    cli::HeadlessRun run(options, password, stderr, kProgram);
    run.WatchSaves(registry, platform::UserRegistryLocation());
    AppServices services;
    services.dialog = dialog;
    services.moduleFileName = [] { return platform::GetModuleFileName(); };
    services.commandLine = [&options] { return CString(options.pdfPath); };
    services.runModal = [&run](CPdfSendDlg& dlg) { return run.Run(dlg); };

    CPdfSendApp app(std::move(services));
    app.InitInstance();
    app.ExitInstance();
    if (!handOver || !run.Ran()) {
        return run.Status();
    }
    // The run's own texts: start-up loaded the same library, so it is there.
    const auto texts = loadResources();
    if (!texts) {
        return run.Status();
    }
    const cli::FollowUp followUp{*texts, *handOver, stdout, stderr,
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
    cli::PrepareConsole();
    const std::vector<std::string> args = cli::ProgramArguments(argc, argv);
    const cli::ParseResult parsed = cli::ParseCliOptions(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", kProgram,
                     cli::TerminalSafe(parsed.error).c_str(), kProgram);
        return cli::kStatusUsage;
    }
    if (parsed.options.help) {
        std::fputs(cli::UsageText(kProgram).c_str(), stdout);
        return cli::kStatusPrinted;
    }
    if (parsed.options.version) {
        return PrintVersion();
    }
    cli::InterruptGuard interrupts;
    const int status = Run(parsed.options);
    if (status != cli::kStatusPrinted) {
        // Ended by the signal, once everything the run held was released.
        std::fflush(nullptr);
        interrupts.ReRaise();
    }
    return status;
}
