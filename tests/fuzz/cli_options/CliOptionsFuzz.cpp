// The command line of norvane-print: arguments separated by NUL bytes. Parsing must end with
// either usable options or a message, and the options must be what the run relies on.
#include "cli/CliOptions.h"
#include "cli/CliTexts.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size && args.size() < 64; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back().push_back(static_cast<char>(data[i]));
        }
    }
    const nv::cli::CliTexts texts;
    const nv::cli::ParseResult result = nv::cli::ParseCliOptions(args, texts);
    if (!result.failed) {
        const nv::cli::CliOptions& o = result.options;
        // Copies and pages are plain digits when given.
        if (o.copies && o.copies->find_first_not_of("0123456789") != std::string::npos) {
            std::abort();
        }
        if (o.pages && (o.pages->start.empty() ||
                        o.pages->start.find_first_not_of("0123456789") != std::string::npos)) {
            std::abort();
        }
    }
    (void)nv::cli::UsageText(args.front(), texts);
    return 0;
}
