// A copy of the built program directory in a test's own folder, so that norvane-print runs as a
// user runs it and finds its libraries beside itself; and whole-file reads and writes.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

namespace nv::test {

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Copies norvane-print with its resource, companion and command libraries, and the files named
// by EXTRA (relative to the program directory), from the build's program directory into TO.
inline void CopyProgram(const std::filesystem::path& to,
                        std::initializer_list<const char*> extra = {}) {
    const std::filesystem::path built = std::getenv("NV_PROGRAM_DIR");
    std::filesystem::create_directories(to);
    for (const char* file : {"norvane-print", "Norvres.dll", "Norvane.dll", "nvaComDLL.dll",
                             "nvbComDLL.dll", "nvcComDLL.dll"}) {
        std::filesystem::copy_file(built / file, to / file);
    }
    for (const char* file : extra) {
        std::filesystem::create_directories((to / file).parent_path());
        std::filesystem::copy_file(built / file, to / file);
    }
}

} // namespace nv::test
