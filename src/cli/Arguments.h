// The command line as the program's UTF-8 texts, and the console set up to show them.
#pragma once

#include <string>
#include <vector>

namespace nv::cli {

// The arguments after the program name. On Windows they come from the wide command line
// (GetCommandLineW), so a path in any script arrives whole whatever the active code page is;
// elsewhere they are ARGV as given.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// The console set up to take and show the program's UTF-8 texts for as long as this lives, and
// put back as it was when it ends. On Windows the console's input and output code pages are set
// to UTF-8 and the ones they had are restored on every way the program ends: a return, Ctrl+C,
// Ctrl+Break or closing the console before a job starts, and through Restore before the
// program ends itself as if interrupted. Elsewhere nothing needs telling.
class ConsoleText {
public:
    ConsoleText();
    ~ConsoleText();
    ConsoleText(const ConsoleText&) = delete;
    ConsoleText& operator=(const ConsoleText&) = delete;

    // Puts the code pages back now; later calls and the destructor then change nothing.
    void Restore();
};

} // namespace nv::cli
