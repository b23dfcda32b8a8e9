// The few terminal services the command-line front end needs.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace nv::cli {

// Whether FILE is an interactive terminal.
bool IsTerminal(std::FILE* file);

// One line read from FILE, without its line end ("\n" or "\r\n"), at most MAXBYTES bytes of
// it kept; none at the end of the input before any byte.
std::optional<std::string> ReadLine(std::FILE* file, std::size_t maxBytes);

} // namespace nv::cli
