// Paths of the modules the build places in the program directory, for the tests.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace nv::test {

inline std::string ProgramFile(const std::string& name) {
    const char* dir = std::getenv("NV_PROGRAM_DIR");
    return std::string(dir != nullptr ? dir : ".") + "/" + name;
}

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every module the build produces, by its path below the program directory.
inline const char* const kBuiltModules[] = {"Norvres.dll",   "lang/en/Norvres.dll",
                                            "nvaComDLL.dll", "nvbComDLL.dll",
                                            "nvcComDLL.dll", "Norvane.dll"};

} // namespace nv::test
