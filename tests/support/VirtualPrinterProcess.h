// Runs the virtual AppSocket printer as a child process for the duration of a test: it listens
// on a free loopback port and saves each job it receives as job-N.pdf and job-N.json in a
// folder of the test's choosing.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace nv::test {

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class VirtualPrinterProcess {
public:
    explicit VirtualPrinterProcess(std::filesystem::path out) : out_(std::move(out)) {
        std::filesystem::create_directories(out_);
        const std::string program = ProgramDirectory() + "/norvane-virtual-printer";
        const std::string portFile = (out_ / "port").string();
        const std::string outDir = out_.string();
        std::vector<std::string> args = {program,  "--port", "0",   "--port-file",
                                         portFile, "--out",  outDir};
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, (out_ / "log").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        for (int i = 0; i < 500 && pid_ > 0 && port_ == 0; ++i) {
            if (std::filesystem::exists(portFile)) {
                port_ = std::atoi(ReadWholeFile(portFile).c_str());
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
    }
    ~VirtualPrinterProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
    }
    VirtualPrinterProcess(const VirtualPrinterProcess&) = delete;
    VirtualPrinterProcess& operator=(const VirtualPrinterProcess&) = delete;

    // The build's program folder: $NV_PROGRAM_DIR, else "bin" beside the test executable's
    // folder (tests land in <build>/tests, programs in <build>/bin).
    static std::string ProgramDirectory() {
        if (const char* dir = std::getenv("NV_PROGRAM_DIR"); dir != nullptr && *dir != '\0') {
            return dir;
        }
        std::error_code ec;
        const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
        return (self.parent_path().parent_path() / "bin").string();
    }

    // The port it listens on, 0 when it did not start.
    int Port() const { return port_; }
    std::string SocketUri() const { return "socket://127.0.0.1:" + std::to_string(port_); }

    // Waits up to TIMEOUT for job N's summary; returns it, or empty when it did not come.
    std::string WaitForSummary(int n,
                               std::chrono::milliseconds timeout = std::chrono::seconds(20)) const {
        const auto path = out_ / ("job-" + std::to_string(n) + ".json");
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            if (std::filesystem::exists(path)) {
                return ReadWholeFile(path);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return {};
    }
    std::string Document(int n) const {
        return ReadWholeFile(out_ / ("job-" + std::to_string(n) + ".pdf"));
    }
    bool HasJob(int n) const {
        return std::filesystem::exists(out_ / ("job-" + std::to_string(n) + ".json"));
    }

private:
    std::filesystem::path out_;
    pid_t pid_ = -1;
    int port_ = 0;
};

} // namespace nv::test
