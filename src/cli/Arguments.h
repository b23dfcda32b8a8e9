// The command line as the program's UTF-8 texts, and the console set up to show them.
#pragma once

#include <string>
#include <vector>

namespace nv::cli {

// The arguments after the program name. On Windows they come from the wide command line
// (GetCommandLineW), so a path in any script arrives whole whatever the active code page is;
// elsewhere they are ARGV as given.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Makes the console show UTF-8 output where the system needs telling (Windows); else nothing.
void PrepareConsole();

} // namespace nv::cli
