// norvane-inspect: prints what the program's readers make of outside input (profile files,
// resource and command modules, capability files, PDF headers), so that files from a driver
// package can be checked by hand before deployment.
#include "commands.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

struct Command {
    std::string_view name;
    std::string_view usage;
    int (*run)(int argc, char** argv);
};

constexpr Command kCommands[] = {
    {"profile", "profile FILE SECTION KEY [--default TEXT] [--size N] [--int]",
     nv::inspect::runProfile},
    {"strings", "strings MODULE [ID...]   (line breaks, tabs, backslashes as \\n \\t \\\\)",
     nv::inspect::runStrings},
    {"version", "version MODULE", nv::inspect::runVersion},
    {"icons", "icons MODULE [ID OUT.ico]", nv::inspect::runIcons},
};

int usage(std::FILE* out) {
    std::fprintf(out, "usage: norvane-inspect COMMAND ARGS...\n");
    for (const auto& command : kCommands) {
        std::fprintf(out, "  norvane-inspect %.*s\n", static_cast<int>(command.usage.size()),
                     command.usage.data());
    }
    return out == stdout ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return usage(stderr);
    }
    std::string_view name = argv[1];
    if (name == "--help" || name == "-h") {
        return usage(stdout);
    }
    for (const auto& command : kCommands) {
        if (command.name == name) {
            return command.run(argc - 2, argv + 2);
        }
    }
    std::fprintf(stderr, "norvane-inspect: unknown command '%s'\n", argv[1]);
    return usage(stderr);
}
