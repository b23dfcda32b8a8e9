#include "cli/CliOptions.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <getopt.h>

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

// What getopt_long returns for each long option: the letter of its short form, or a code
// past every character.
enum LongOnly : int {
    kVersion = 256,
    kList,
    kPrinter,
    kTray,
    kCopies,
    kCollate,
    kNoCollate,
    kDuplex,
    kFit,
    kNoFit,
    kPages,
    kPasswordStdin,
    kDefaults,
    kSave,
    kDryRun,
    kWait,
};

// Long options may be shortened to any prefix that names one of them alone.
const option kLongOptions[] = {
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {"list", no_argument, nullptr, kList},
    {"quiet", no_argument, nullptr, 'q'},
    {"printer", required_argument, nullptr, kPrinter},
    {"tray", required_argument, nullptr, kTray},
    {"copies", required_argument, nullptr, kCopies},
    {"collate", no_argument, nullptr, kCollate},
    {"no-collate", no_argument, nullptr, kNoCollate},
    {"duplex", required_argument, nullptr, kDuplex},
    {"fit", no_argument, nullptr, kFit},
    {"no-fit", no_argument, nullptr, kNoFit},
    {"pages", required_argument, nullptr, kPages},
    {"password-stdin", no_argument, nullptr, kPasswordStdin},
    {"defaults", no_argument, nullptr, kDefaults},
    {"save", no_argument, nullptr, kSave},
    {"yes", no_argument, nullptr, 'y'},
    {"dry-run", required_argument, nullptr, kDryRun},
    {"wait", optional_argument, nullptr, kWait},
    {nullptr, 0, nullptr, 0},
};

// The options that only set a flag, and the options whose value is taken as it stands.
struct FlagOption {
    int code;
    bool CliOptions::*flag;
};
constexpr FlagOption kFlagOptions[] = {
    {'h', &CliOptions::help},
    {'q', &CliOptions::quiet},
    {'y', &CliOptions::yes},
    {kVersion, &CliOptions::version},
    {kList, &CliOptions::list},
    {kPasswordStdin, &CliOptions::passwordFromStdin},
    {kDefaults, &CliOptions::defaults},
    {kSave, &CliOptions::save},
};
struct TextOption {
    int code;
    std::optional<std::string> CliOptions::*text;
};
constexpr TextOption kTextOptions[] = {{kPrinter, &CliOptions::printer},
                                       {kTray, &CliOptions::tray}};

// Takes option CODE into O when it is one of the tables' options; false otherwise.
bool TakeSimpleOption(int code, CliOptions& o) {
    for (const FlagOption& f : kFlagOptions) {
        if (f.code == code) {
            o.*f.flag = true;
            return true;
        }
    }
    for (const TextOption& t : kTextOptions) {
        if (t.code == code) {
            o.*t.text = optarg;
            return true;
        }
    }
    return false;
}

// The message for an option that getopt_long refused. REFUSED is its optopt: a known option
// whose value was missing or not wanted, a short option that does not exist, or 0 for a long
// option that does not exist or is ambiguous, typed as ARGV[NEXT - 1].
std::string RefusedOption(const std::vector<char*>& argv, int next, int refused) {
    for (const option* known = kLongOptions; known->name != nullptr; ++known) {
        if (refused != 0 && known->val == refused) {
            const std::string name = std::string("--") + known->name;
            return known->has_arg == no_argument ? "option " + name + " takes no value"
                                                 : "option " + name + " needs a value";
        }
    }
    if (refused != 0) {
        return std::string("unknown option -") + static_cast<char>(refused);
    }
    const std::size_t typed = next > 0 ? static_cast<std::size_t>(next - 1) : 0;
    const char* arg = typed < argv.size() && argv[typed] != nullptr ? argv[typed] : "";
    if (std::strncmp(arg, "--", 2) != 0) {
        return "unknown option";
    }
    const std::string name(arg + 2, std::strcspn(arg + 2, "="));
    std::string candidates;
    int matches = 0;
    for (const option* known = kLongOptions; known->name != nullptr && !name.empty(); ++known) {
        if (std::strncmp(known->name, name.c_str(), name.size()) == 0) {
            candidates += (matches++ == 0 ? " --" : ", --") + std::string(known->name);
        }
    }
    if (matches > 1) {
        return "option --" + name + " is ambiguous:" + candidates;
    }
    return "unknown option --" + name;
}

} // namespace

ParseResult ParseCliOptions(const std::vector<std::string>& args) {
    ParseResult result;
    CliOptions& o = result.options;

    // getopt_long wants a writable argv with the program's name first and a null at the end.
    std::vector<std::string> storage;
    storage.reserve(args.size() + 1);
    storage.emplace_back("norvane-print");
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(storage.size() + 1);
    for (std::string& arg : storage) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const int argc = static_cast<int>(storage.size());

    // '-' first: every operand comes back in place as option 1, whatever POSIXLY_CORRECT says,
    // so the file may stand anywhere before "--" and nothing is reordered. ':' next: a missing
    // value is reported as ':' rather than printed by getopt itself.
    static constexpr char kShortOptions[] = "-:hqy";
    std::vector<std::string> operands;
    opterr = 0;
    optind = 0; // 0, not 1: the parser's state from an earlier call is thrown away
    while (result.error.empty()) {
        const int code = ::getopt_long(argc, argv.data(), kShortOptions, kLongOptions, nullptr);
        if (code == -1) {
            break;
        }
        if (TakeSimpleOption(code, o)) {
            continue;
        }
        switch (code) {
        case 1:
            operands.emplace_back(optarg);
            break;
        case kCollate:
        case kNoCollate:
            o.collate = code == kCollate;
            break;
        case kFit:
        case kNoFit:
            o.fitToPage = code == kFit;
            break;
        case kCopies:
            o.copies = optarg;
            if (!AllDigits(*o.copies)) {
                result.error = "--copies needs a number, not \"" + *o.copies + "\"";
            }
            break;
        case kDuplex:
            o.duplex = ParseDuplex(optarg);
            if (!o.duplex) {
                result.error =
                    "--duplex takes long, short or off, not \"" + std::string(optarg) + "\"";
            }
            break;
        case kPages:
            o.pages = ParsePages(optarg);
            if (!o.pages) {
                result.error =
                    "--pages takes FIRST-LAST or FIRST-, not \"" + std::string(optarg) + "\"";
            }
            break;
        case kDryRun:
            o.dryRunFile = optarg;
            if (o.dryRunFile->empty()) {
                result.error = "--dry-run needs a file name";
            }
            break;
        case kWait:
            o.wait = true;
            if (optarg != nullptr) {
                const std::string seconds = optarg;
                if (!AllDigits(seconds) || seconds.size() > 6) {
                    result.error =
                        "--wait takes whole seconds up to 999999, not \"" + seconds + "\"";
                } else {
                    o.waitSeconds = static_cast<unsigned>(std::stoul(seconds));
                }
            }
            break;
        default: // '?' or ':'
            result.error = RefusedOption(argv, optind, optopt);
            break;
        }
    }
    if (!result.error.empty()) {
        return result;
    }
    // After "--" everything left is an operand.
    for (int i = optind; i > 0 && i < argc; ++i) {
        operands.emplace_back(argv[static_cast<std::size_t>(i)]);
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
           "Options, applied in this order (a long option may be shortened to a prefix that\n"
           "names it alone; \"--\" ends the options):\n"
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
           "  --quiet, -q          no progress display for large documents, and no line saying\n"
           "                       where the job went\n"
           "  --wait[=SECONDS]     after handing the job over, follow it to its end (a CUPS\n"
           "                       job's states; a socket printer closing the connection)\n"
           "  --help, -h           show this help and exit\n"
           "  --version            show the version and exit\n"
           "\n"
           "Exit status:\n"
           "  0  the whole job was handed to the spooler (or written by --dry-run); with --wait,\n"
           "     it completed\n"
           "  1  the job was not handed over in full (printer, spooler or command library); with\n"
           "     --wait, it was aborted or cancelled\n"
           "  2  the command line is wrong\n"
           "  3  the program could not start: resource library, input file, no supported printer\n"
           "  4  a value was refused (copies, pages, password), or a printer or paper source is\n"
           "     not offered\n"
           "  5  an option that this printer model does not offer (its control is disabled)\n"
           "  6  the question about the PDF version was answered No\n"
           "  7  --wait=SECONDS ran out while the job was still queued, held or printing\n"
           "\n"
           "Environment: NORVANE_PRINTERS (direct printers file), NORVANE_DRIVER_DIR (driver\n"
           "folder), NORVANE_REGISTRY (settings file), CUPS_SERVER.\n";
}

} // namespace nv::cli
