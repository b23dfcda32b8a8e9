// The PDF's path as the window program receives it on Windows: the whole command line when a
// launcher names the program separately, or what follows the program's own name when the
// command line begins with it (Explorer's "Open with", a shortcut, a console).
#pragma once

#include <string>

namespace nv::gui {

// The PDF's path in COMMANDLINE (the process's wide command line) for the program at
// MODULEPATH (its own full path). When the command line begins with this program's name,
// compared without regard to case, the path is the text after that name and the blanks that
// follow it, unchanged (no quote is removed, no further argument split off). The name is the
// full path, quoted or not, or a bare file name with or without its extension as a console
// passes what was typed. Otherwise the whole command line is the path, as it is. "" when the
// program was given no file.
std::wstring PathTextOf(const std::wstring& commandLine, const std::wstring& modulePath);

} // namespace nv::gui
