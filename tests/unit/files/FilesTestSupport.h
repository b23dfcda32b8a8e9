// Scratch folders and a second process for the file tests.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace nv::test {

// A fresh folder under the system's temporary folder, removed with its content.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // Writes BYTES to the file NAME in the folder and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

// Runs the probe program (or another executable) with ARGS; its stdin stays open until
// Release() or destruction, which is how the probe is told to let go of what it holds.
class Probe {
public:
    Probe(const std::string& program, const std::vector<std::string>& args);
    ~Probe();
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;
    // The first line the probe printed, without its LF ("" when it printed nothing).
    std::string FirstLine();
    // Closes the probe's stdin and waits for it; returns its exit status.
    int Release();

private:
    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
};

} // namespace nv::test
