#include "cli/Arguments.h"

namespace nv::cli {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    if (argc <= 1 || argv == nullptr) {
        return {};
    }
    return std::vector<std::string>(argv + 1, argv + argc);
}

ConsoleText::ConsoleText() = default;
ConsoleText::~ConsoleText() = default;
void ConsoleText::Restore() {}

} // namespace nv::cli
