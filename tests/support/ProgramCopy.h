// A copy of the built program directory in a test's own folder, so that norvane-print runs as a
// user runs it and finds its libraries beside itself; runs of that copy; and whole-file reads
// and writes.
#pragma once

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <initializer_list>
#include <pty.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
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

// Makes the English edition the default resource library of the program copy PROGRAM, so
// that every text of a run there (and of the tests reading it) is English.
inline void UseEnglishLibrary(const std::filesystem::path& program) {
    const std::filesystem::path built = std::getenv("NV_PROGRAM_DIR");
    std::filesystem::copy_file(built / "lang" / "en" / "Norvres.dll", program / "Norvres.dll",
                               std::filesystem::copy_options::overwrite_existing);
}

// Makes FOLDER a place to run norvane-print from: a copy of the program (with EXTRA), an
// empty driver folder, and the environment pointing at that folder, at FOLDER/printers.ini for
// the direct printers, at no scheduler and at no default printer.
inline void PrepareProgramFolder(const std::filesystem::path& folder,
                                 std::initializer_list<const char*> extra = {}) {
    CopyProgram(folder / "program", extra);
    std::filesystem::create_directories(folder / "drivers");
    ::setenv("NORVANE_DRIVER_DIR", (folder / "drivers").c_str(), 1);
    ::setenv("NORVANE_PRINTERS", (folder / "printers.ini").c_str(), 1);
    ::setenv("CUPS_SERVER", (folder / "no-scheduler.sock").c_str(), 1);
    ::unsetenv("LPDEST");
    ::unsetenv("PRINTER");
}

// What to run: the copied norvane-print's arguments, its standard input, and how long it may
// take.
struct RunRequest {
    std::vector<std::string> args;
    std::string input;             // standard input's bytes, unless inputFile is given
    std::string inputFile;         // a file (device, FIFO) to read standard input from
    bool stderrOnTerminal = false; // standard error on a pseudo-terminal, whose text is err
    std::chrono::seconds limit = std::chrono::seconds(60); // killed then, and counted as hung
};

// How a run of the copied norvane-print ended.
struct ProgramRun {
    int status = -1; // exit status; -1 when a signal ended it or it hung
    int signal = 0;  // the signal that ended it
    bool hung = false;
    double seconds = 0;
    std::string out;
    std::string err;
};

// FOLDER/program/norvane-print started as REQUEST says; its input and output pass through
// files in FOLDER named after the run, so runs may overlap.
class ProgramProcess {
public:
    ProgramProcess(const std::filesystem::path& folder, const RunRequest& request)
        : limit_(request.limit) {
        static std::atomic<int> runs{0};
        const std::string run = std::to_string(::getpid()) + "-" + std::to_string(++runs);
        const std::filesystem::path in = folder / ("stdin-" + run);
        out_ = folder / ("stdout-" + run);
        err_ = folder / ("stderr-" + run);
        WriteFile(in, request.input);
        const std::string program = (folder / "program" / "norvane-print").string();
        std::vector<std::string> all = {program};
        all.insert(all.end(), request.args.begin(), request.args.end());
        std::vector<char*> argv;
        for (std::string& arg : all) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        int terminal = -1;
        if (request.stderrOnTerminal &&
            ::openpty(&master_, &terminal, nullptr, nullptr, nullptr) != 0) {
            ADD_FAILURE() << "no pseudo-terminal";
            master_ = -1;
        }
        const std::string inPath = request.inputFile.empty() ? in.string() : request.inputFile;
        start_ = std::chrono::steady_clock::now();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(::open(inPath.c_str(), O_RDONLY), 0);
            ::dup2(::open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
            ::dup2(terminal >= 0 ? terminal
                                 : ::open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600),
                   2);
            ::signal(SIGPIPE, SIG_DFL);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        if (terminal >= 0) {
            ::close(terminal);
        }
        if (master_ >= 0) {
            ::fcntl(master_, F_SETFL, O_NONBLOCK);
        }
    }
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;
    ~ProgramProcess() {
        if (!finished_) {
            Finish();
        }
    }

    pid_t Pid() const { return pid_; }

    // Waits for the run, up to its limit; a run still going then is killed and counts as hung.
    ProgramRun Finish() {
        finished_ = true;
        ProgramRun run;
        std::string terminal;
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            ReadTerminal(terminal);
            if (std::chrono::steady_clock::now() - start_ > limit_) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                run.hung = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ReadTerminal(terminal);
        if (master_ >= 0) {
            ::close(master_);
        }
        run.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        if (!run.hung) {
            run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        }
        run.out = ReadFile(out_);
        run.err = master_ >= 0 ? terminal : ReadFile(err_);
        return run;
    }

private:
    void ReadTerminal(std::string& text) const {
        char buffer[4096];
        for (ssize_t n; master_ >= 0 && (n = ::read(master_, buffer, sizeof buffer)) > 0;) {
            text.append(buffer, static_cast<std::size_t>(n));
        }
    }

    std::chrono::seconds limit_;
    std::filesystem::path out_, err_;
    int master_ = -1;
    pid_t pid_ = -1;
    bool finished_ = false;
    std::chrono::steady_clock::time_point start_;
};

inline ProgramRun RunProgram(const std::filesystem::path& folder, const RunRequest& request) {
    return ProgramProcess(folder, request).Finish();
}

// Runs FOLDER/program/norvane-print with ARGS and INPUT on its standard input.
inline ProgramRun RunProgram(const std::filesystem::path& folder,
                             const std::vector<std::string>& args, const std::string& input = "") {
    RunRequest request;
    request.args = args;
    request.input = input;
    return RunProgram(folder, request);
}

} // namespace nv::test
