// A copy of the built program directory in a test's own folder, so that norvane-print runs as a
// user runs it and finds its libraries beside itself; and whole-file reads and writes.
#pragma once

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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

// How a run of the copied norvane-print ended: its exit status (-1 when a signal ended it) and
// what it wrote to standard output and standard error.
struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs FOLDER/program/norvane-print with ARGS and INPUT on its standard input; its input and
// output pass through files in FOLDER.
inline ProgramRun RunProgram(const std::filesystem::path& folder,
                             const std::vector<std::string>& args, const std::string& input) {
    const std::filesystem::path in = folder / "stdin", out = folder / "stdout",
                                err = folder / "stderr";
    WriteFile(in, input);
    const std::string program = (folder / "program" / "norvane-print").string();
    std::vector<std::string> all = {program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(::open(in.c_str(), O_RDONLY), 0);
        ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
}

} // namespace nv::test
