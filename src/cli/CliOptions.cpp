#include "cli/CliOptions.h"

#include "cli/CliTexts.h"

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
std::string RefusedOption(const std::vector<char*>& argv, int next, int refused,
                          const CliTexts& text) {
    namespace str = res::str;
    for (const option* known = kLongOptions; known->name != nullptr; ++known) {
        if (refused != 0 && known->val == refused) {
            const std::string name = std::string("--") + known->name;
            return text(known->has_arg == no_argument ? str::kCliOptionTakesNoValue
                                                      : str::kCliOptionNeedsValue,
                        {name});
        }
    }
    if (refused != 0) {
        return text(str::kCliUnknownOptionNamed, {std::string("-") + static_cast<char>(refused)});
    }
    const std::size_t typed = next > 0 ? static_cast<std::size_t>(next - 1) : 0;
    const char* arg = typed < argv.size() && argv[typed] != nullptr ? argv[typed] : "";
    if (std::strncmp(arg, "--", 2) != 0) {
        return text(str::kCliUnknownOption);
    }
    const std::string name(arg + 2, std::strcspn(arg + 2, "="));
    std::string candidates;
    int matches = 0;
    for (const option* known = kLongOptions; known->name != nullptr && !name.empty(); ++known) {
        if (std::strncmp(known->name, name.c_str(), name.size()) == 0) {
            candidates += (matches++ == 0 ? "--" : ", --") + std::string(known->name);
        }
    }
    if (matches > 1) {
        return text(str::kCliAmbiguousOption, {"--" + name, candidates});
    }
    return text(str::kCliUnknownOptionNamed, {"--" + name});
}

} // namespace

ParseResult ParseCliOptions(const std::vector<std::string>& args, const CliTexts& text) {
    namespace str = res::str;
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
    while (!result.failed) {
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
                result.Fail(text(str::kCliBadCopies, {*o.copies}));
            }
            break;
        case kDuplex:
            o.duplex = ParseDuplex(optarg);
            if (!o.duplex) {
                result.Fail(text(str::kCliBadDuplex, {optarg}));
            }
            break;
        case kPages:
            o.pages = ParsePages(optarg);
            if (!o.pages) {
                result.Fail(text(str::kCliBadPages, {optarg}));
            }
            break;
        case kDryRun:
            o.dryRunFile = optarg;
            if (o.dryRunFile->empty()) {
                result.Fail(text(str::kCliDryRunNeedsFile));
            }
            break;
        case kWait:
            o.wait = true;
            if (optarg != nullptr) {
                const std::string seconds = optarg;
                if (!AllDigits(seconds) || seconds.size() > 6) {
                    result.Fail(text(str::kCliBadWait, {seconds}));
                } else {
                    o.waitSeconds = static_cast<unsigned>(std::stoul(seconds));
                }
            }
            break;
        default: // '?' or ':'
            result.Fail(RefusedOption(argv, optind, optopt, text));
            break;
        }
    }
    if (result.failed) {
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
            result.Fail(text(str::kCliListTakesNoFile));
        }
        return result;
    }
    if (operands.empty()) {
        result.Fail(text(str::kCliNoFile));
    } else if (operands.size() > 1) {
        result.Fail(text(str::kCliOneFileOnly, {operands.front()}));
    } else {
        o.pdfPath = operands.back();
    }
    return result;
}

std::string UsageText(const std::string& program, const CliTexts& text) {
    return text(res::str::kCliUsage, {program}) + text(res::str::kCliUsageMore, {program});
}

} // namespace nv::cli
