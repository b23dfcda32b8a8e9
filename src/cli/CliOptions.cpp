#include "cli/CliOptions.h"

#include <algorithm>
#include <cstddef>

namespace nv::cli {

namespace {

bool AllDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "A-B" or "A-" with A and B decimal digits.
std::optional<PageRange> ParsePages(const std::string& text) {
    const std::size_t dash = text.find('-');
    if (dash == std::string::npos) {
        return std::nullopt;
    }
    PageRange range{text.substr(0, dash), text.substr(dash + 1)};
    if (!AllDigits(range.start) || (!range.end.empty() && !AllDigits(range.end))) {
        return std::nullopt;
    }
    return range;
}

std::optional<Duplex> ParseDuplex(const std::string& text) {
    if (text == "long") {
        return Duplex::longEdge;
    }
    if (text == "short") {
        return Duplex::shortEdge;
    }
    if (text == "off") {
        return Duplex::off;
    }
    return std::nullopt;
}

} // namespace

ParseResult ParseCliOptions(const std::vector<std::string>& args) {
    ParseResult result;
    CliOptions& o = result.options;
    std::vector<std::string> operands;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::optional<std::string> inlineValue;
        if (const std::size_t eq = arg.find('=');
            arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = arg.substr(eq + 1);
            arg.resize(eq);
        }
        // The value of an option that takes one: after '=' or the next argument.
        auto value = [&]() -> std::optional<std::string> {
            if (inlineValue) {
                return inlineValue;
            }
            if (i + 1 < args.size()) {
                return args[++i];
            }
            result.error = "option " + arg + " needs a value";
            return std::nullopt;
        };
        auto flag = [&](bool& target) {
            if (inlineValue) {
                result.error = "option " + arg + " takes no value";
            }
            target = true;
        };
        auto choice = [&](std::optional<bool>& target, bool on) {
            bool seen = false;
            flag(seen);
            target = on;
        };

        if (arg == "--help" || arg == "-h") {
            flag(o.help);
        } else if (arg == "--version") {
            flag(o.version);
        } else if (arg == "--list") {
            flag(o.list);
        } else if (arg == "--quiet" || arg == "-q") {
            flag(o.quiet);
        } else if (arg == "--printer") {
            if (auto v = value()) {
                o.printer = *v;
            }
        } else if (arg == "--tray") {
            if (auto v = value()) {
                o.tray = *v;
            }
        } else if (arg == "--copies") {
            if (auto v = value()) {
                if (!AllDigits(*v)) {
                    result.error = "--copies needs a number, not \"" + *v + "\"";
                }
                o.copies = *v;
            }
        } else if (arg == "--collate") {
            choice(o.collate, true);
        } else if (arg == "--no-collate") {
            choice(o.collate, false);
        } else if (arg == "--duplex") {
            if (auto v = value()) {
                o.duplex = ParseDuplex(*v);
                if (!o.duplex) {
                    result.error = "--duplex takes long, short or off, not \"" + *v + "\"";
                }
            }
        } else if (arg == "--fit") {
            choice(o.fitToPage, true);
        } else if (arg == "--no-fit") {
            choice(o.fitToPage, false);
        } else if (arg == "--pages") {
            if (auto v = value()) {
                o.pages = ParsePages(*v);
                if (!o.pages) {
                    result.error = "--pages takes FIRST-LAST or FIRST-, not \"" + *v + "\"";
                }
            }
        } else if (arg == "--password-stdin") {
            flag(o.passwordFromStdin);
        } else if (arg == "--defaults") {
            flag(o.defaults);
        } else if (arg == "--save") {
            flag(o.save);
        } else if (arg == "--yes" || arg == "-y") {
            flag(o.yes);
        } else if (arg == "--dry-run") {
            if (auto v = value()) {
                o.dryRunFile = *v;
                if (v->empty()) {
                    result.error = "--dry-run needs a file name";
                }
            }
        } else {
            result.error = "unknown option " + arg;
        }
        if (!result.error.empty()) {
            return result;
        }
    }

    if (o.help || o.version) {
        return result;
    }
    if (o.list) {
        if (!operands.empty()) {
            result.error = "--list takes no file";
        }
        return result;
    }
    if (operands.empty()) {
        result.error = "no PDF file given";
    } else if (operands.size() > 1) {
        result.error = "one PDF file only, as the last argument (\"" + operands.front() +
                       "\" is not an option)";
    } else {
        o.pdfPath = operands.back();
    }
    return result;
}

std::string UsageText(const std::string& program) {
    return "Usage: " + program +
           " [OPTION]... FILE.pdf\n"
           "       " +
           program +
           " --list\n"
           "Print FILE.pdf directly on a Velmora printer, without a window: the print-settings\n"
           "dialog opens with the saved settings of the chosen printer, the options below are\n"
           "applied as a user would apply them, then Print is pressed. Messages are written to\n"
           "standard error as \"caption: text\", in the language of the resource library.\n"
           "\n"
           "Options, applied in this order:\n"
           "  --printer NAME       choose printer NAME in the list of supported printers\n"
           "  --defaults           press Defaults (the model's defaults for the printer)\n"
           "  --tray KEY|TEXT      paper source by key (AutoTray, Tray1..Tray5,\n"
           "                       \"Multi Purpose Tray\", \"Manual Feed\") or by its shown text\n"
           "  --copies N           number of copies\n"
           "  --collate, --no-collate\n"
           "  --duplex long|short|off   two-sided, bound on the long or short edge, or one-sided\n"
           "  --fit, --no-fit      fit the pages to the paper\n"
           "  --pages A-B | A-     print pages A to B; A- to the last page, where the model "
           "allows\n"
           "  --password-stdin     read the PDF's password from the first line of standard input\n"
           "  --save               press Save settings (the options become this printer's saved "
           "ones)\n"
           "  --yes, -y            answer Yes when the printer may not support the PDF's version\n"
           "                       (otherwise No, or the question is asked on a terminal)\n"
           "\n"
           "Other commands and options:\n"
           "  --list               list the supported printers and what each model offers\n"
           "  --dry-run FILE       write the job stream to FILE instead of sending it\n"
           "  --quiet, -q          no progress display for large documents\n"
           "  --help, -h           show this help and exit\n"
           "  --version            show the version and exit\n"
           "\n"
           "Exit status:\n"
           "  0  the whole job was handed to the spooler (or written by --dry-run)\n"
           "  1  the job was not handed over in full (printer, spooler or command library)\n"
           "  2  the command line is wrong\n"
           "  3  the program could not start: resource library, input file, no supported printer\n"
           "  4  a value was refused (copies, pages, password), or a printer or paper source is\n"
           "     not offered\n"
           "  5  an option that this printer model does not offer (its control is disabled)\n"
           "  6  the question about the PDF version was answered No\n"
           "\n"
           "Environment: NORVANE_PRINTERS (direct printers file), NORVANE_DRIVER_DIR (driver\n"
           "folder), NORVANE_REGISTRY (settings file), CUPS_SERVER.\n";
}

} // namespace nv::cli
