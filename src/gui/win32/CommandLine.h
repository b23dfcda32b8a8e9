// The PDF's path as the window program receives it on Windows: what follows the program name
// on the process's command line, copied whole.
#pragma once

#include <string>

namespace nv::gui {

// The text of COMMANDLINE (the process's wide command line) after its first token, the
// program name, and the blanks that follow it. The program name ends at the closing quote
// when it starts with one, else at the first blank, as the system's start-up code reads it.
// The rest is returned unchanged: no quote is removed and no further argument is split off.
std::wstring ArgumentTextOf(const std::wstring& commandLine);

} // namespace nv::gui
