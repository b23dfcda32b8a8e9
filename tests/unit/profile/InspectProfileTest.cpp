// Runs the built norvane-inspect on a small profile file and checks the exact bytes it prints
// for a string read and an integer read.
#include "support/TempDir.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

struct ToolRun {
    std::string output;
    int status;
};

// Runs norvane-inspect from the program directory with ARGS (already shell-quoted).
ToolRun Inspect(const std::string& args) {
    const char* programDir = std::getenv("NV_PROGRAM_DIR");
    std::string command =
        std::string(programDir != nullptr ? programDir : ".") + "/norvane-inspect " + args;
    ToolRun run{{}, -1};
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char chunk[256];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
        run.output.append(chunk, got);
    }
    run.status = ::pclose(pipe);
    return run;
}

TEST(InspectProfile, PrintsLengthTabBytesForStringsAndUnsignedForIntegers) {
    nv::test::TempDir dir;
    std::string file = dir.Write("nvtest.cap", "[Printer]\r\nName=\"A\tB\"\r\nTray=-1\r\n");
    std::string quoted = "'" + file + "'";

    ToolRun text = Inspect("profile " + quoted + " printer name");
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.output, "3\tA\tB\n");

    ToolRun cut = Inspect("profile " + quoted + " Printer Name --size 2");
    EXPECT_EQ(cut.output, "1\tA\n");

    ToolRun number = Inspect("profile " + quoted + " Printer Tray --int");
    EXPECT_EQ(number.status, 0);
    EXPECT_EQ(number.output, "4294967295\n");

    ToolRun missing = Inspect("profile " + quoted + " Printer Nope --int --default 7");
    EXPECT_EQ(missing.output, "7\n");
}

} // namespace
