// Runs a shell command line for a test and captures what it prints.
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace nv::test {

// Runs COMMAND with /bin/sh; returns its standard output, or none when it could not run or
// exited with a non-zero status.
inline std::optional<std::string> RunCommand(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) {
        return std::nullopt;
    }
    std::string out;
    std::array<char, 4096> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) {
        out.append(buffer.data(), n);
    }
    if (::pclose(pipe.release()) != 0) {
        return std::nullopt;
    }
    return out;
}

} // namespace nv::test
