// What the Wine end-to-end suites compare a Windows job with: the Linux norvane-print's dry run
// of the same options on the same driver folder, and the summary the virtual printer writes
// for a stream it receives.
#pragma once

#include "JobReport.h"
#include "PjlStream.h"
#include "Sha256.h"
#include "support/RunCommand.h"
#include "support/WineShell.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace nv::test {

// The summary the virtual printer writes for STREAM as its job N.
inline std::string SummaryOf(const std::string& stream, int n) {
    vprinter::Sha256 sha;
    vprinter::PjlStreamParser parser(
        [&](const std::uint8_t* data, std::size_t size) { sha.Update(data, size); });
    parser.Feed(reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size());
    parser.Finish();
    return vprinter::JobReportJson(n, parser.Report(), sha.FinishHex(),
                                   "job-" + std::to_string(n) + ".pdf");
}

// The stream the Linux norvane-print writes for DOCUMENT with ARGS as a dry run, with the
// drivers in DIR/drivers and the settings file DIR/linux.reg (no direct printers).
inline std::string LinuxDryRun(const std::filesystem::path& dir,
                               const std::filesystem::path& document,
                               const std::vector<std::string>& args) {
    const std::filesystem::path file = dir / "dry.prn";
    std::filesystem::remove(file);
    std::string command = "env NORVANE_DRIVER_DIR=" + Quote((dir / "drivers").string()) +
                          " NORVANE_REGISTRY=" + Quote((dir / "linux.reg").string()) +
                          " NORVANE_PRINTERS=" + Quote((dir / "none.ini").string()) + " " +
                          Quote(Env("NV_PROGRAM_DIR") + "/norvane-print") + " --dry-run " +
                          Quote(file.string());
    for (const std::string& arg : args) {
        command += " " + Quote(arg);
    }
    const ShellResult result = Shell(command + " " + Quote(document.string()));
    EXPECT_EQ(result.status, 0) << result.out;
    return ReadWholeFile(file);
}

} // namespace nv::test
