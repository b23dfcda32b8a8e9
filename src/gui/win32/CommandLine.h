// The PDF's path as the window program receives it on Windows: the whole command line when a
// launcher names the program separately, or what follows the program's own name when the
// command line begins with it (Explorer's "Open with", a shortcut, a console).
#pragma once

#include <string>

namespace nv::gui {

// The text of COMMANDLINE (the process's wide command line) after its first token, the
// program name, and the blanks that follow it. The program name ends at the closing quote
// when it starts with one, else at the first blank, as the system's start-up code reads it.
// The rest is returned unchanged: no quote is removed and no further argument is split off.
std::wstring ArgumentTextOf(const std::wstring& commandLine);

// The PDF's path in COMMANDLINE for the program at MODULEPATH (its own full path). When the
// first token, quoted or not, names this program (its full path, or on its own its file name
// with or without the extension, as a console passes what was typed), compared without regard
// to case, the path is the text after it (ArgumentTextOf). Otherwise the whole command line is
// the path, taken as it is. "" when the program was given no file.
std::wstring PathTextOf(const std::wstring& commandLine, const std::wstring& modulePath);

} // namespace nv::gui
