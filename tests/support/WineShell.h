// Shell helpers of the tests that drive the Windows build under Wine from Linux: quoting for
// /bin/sh, the Windows form of a path, and a command's status with everything it printed.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace nv::test {

inline std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// TEXT as one word for /bin/sh.
inline std::string Quote(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

// The Windows form of a Unix path (drive Z: is the root of the file system).
inline std::string WindowsPath(const std::filesystem::path& path) {
    std::string out = "Z:" + path.string();
    std::replace(out.begin(), out.end(), '/', '\\');
    return out;
}

struct ShellResult {
    int status = -1;
    std::string out;
};

// Runs COMMAND with the shell, standard error joined to standard output. Windows programs end
// their lines with CR LF; the CRs are dropped.
inline ShellResult Shell(const std::string& command) {
    ShellResult result;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) {
        result.out.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::erase(result.out, '\r');
    return result;
}

} // namespace nv::test
