// A second process for the file tests, and their scratch folders.
#pragma once

#include "support/TempDir.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace nv::test {

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
