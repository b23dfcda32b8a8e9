// The few terminal services the command-line front end needs.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace nv::cli {

// Whether FILE is an interactive terminal.
bool IsTerminal(std::FILE* file);

// One line read from FILE, without its line end ("\n" or "\r\n"); none at the end of the input
// before any byte. At most MAXBYTES + 1 bytes of the line are read, so a longer line still
// shows as too long while input without end neither holds the caller for ever nor fills its
// memory; the rest of such a line is left unread, except on a terminal, where it is read and
// dropped so that it does not reach the next program reading the terminal.
std::optional<std::string> ReadLine(std::FILE* file, std::size_t maxBytes);

} // namespace nv::cli
