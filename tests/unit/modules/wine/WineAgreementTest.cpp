// The platform's own string loader, run under Wine on the built modules, returns for every
// string ID exactly what our reader returns; its version calls read the same FileVersion and
// translation. Skipped, with the reason, where Wine or the Windows cross compiler is absent.
#include "platform/modules/Modules.h"
#include "unit/modules/ModuleFiles.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace nv {
namespace {

namespace fs = std::filesystem;

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

bool IsAscii(const std::string& text) {
    for (unsigned char c : text) {
        if (c >= 0x80) {
            return false;
        }
    }
    return true;
}

std::string FindWine() {
    for (const char* candidate : {"/usr/bin/wine64", "/usr/lib/wine/wine64", "/usr/bin/wine"}) {
        if (fs::exists(candidate)) {
            return candidate;
        }
    }
    return {};
}

std::string WindowsPath(const std::string& path) {
    std::string out = "Z:" + fs::absolute(path).lexically_normal().string();
    for (char& c : out) {
        if (c == '/') {
            c = '\\';
        }
    }
    return out;
}

struct WineModule {
    std::map<UINT, std::pair<std::string, std::string>> strings; // ANSI hex, UTF-8 hex
    std::string version;                                         // "041104b0\t3, 0, 0, 3"
};

// Runs the probe on MODULES and parses its report.
std::map<std::string, WineModule> RunProbe(const std::string& wine,
                                           const std::vector<std::string>& modules) {
    std::ostringstream command;
    // A private prefix in the build tree; its first start builds it, which takes a while.
    command << "env WINEPREFIX='" << NV_WINE_PREFIX << "' WINEDEBUG=-all "
            << "WINEDLLOVERRIDES='mscoree,mshtml=' DISPLAY= timeout 500 '" << wine << "' '"
            << NV_WINE_PROBE << "'";
    for (const auto& module : modules) {
        command << " '" << WindowsPath(module) << "'";
    }
    command << " 2>/dev/null";
    fs::create_directories(NV_WINE_PREFIX);
    std::map<std::string, WineModule> report;
    FILE* pipe = popen(command.str().c_str(), "r");
    if (pipe == nullptr) {
        return report;
    }
    std::string output;
    std::array<char, 4096> chunk;
    while (std::size_t got = std::fread(chunk.data(), 1, chunk.size(), pipe)) {
        output.append(chunk.data(), got);
    }
    pclose(pipe);
    std::istringstream lines(output);
    std::string line;
    WineModule* current = nullptr;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::istringstream fields(line);
        std::string kind;
        std::getline(fields, kind, '\t');
        if (kind == "module") {
            std::string path;
            std::getline(fields, path);
            current = &report[path];
        } else if (kind == "string" && current != nullptr) {
            std::string id, narrow, utf8;
            std::getline(fields, id, '\t');
            std::getline(fields, narrow, '\t');
            std::getline(fields, utf8);
            current->strings[static_cast<UINT>(std::stoul(id))] = {narrow, utf8};
        } else if (kind == "version" && current != nullptr) {
            std::getline(fields, current->version);
        }
    }
    return report;
}

TEST(WineAgreement, LoadStringAndVersionMatchOurReader) {
    const std::string wine = FindWine();
    if (wine.empty()) {
        GTEST_SKIP() << "Wine is not installed (package wine64): platform comparison skipped";
    }
    if (std::string(NV_WINE_PROBE).empty() || !fs::exists(NV_WINE_PROBE)) {
        GTEST_SKIP() << "the Windows probe was not built (needs x86_64-w64-mingw32-g++-posix)";
    }
    std::vector<std::string> paths;
    for (const char* name : test::kBuiltModules) {
        paths.push_back(test::ProgramFile(name));
    }
    const auto report = RunProbe(wine, paths);
    ASSERT_EQ(report.size(), paths.size()) << "Wine did not report on every module";

    for (const auto& path : paths) {
        SCOPED_TRACE(path);
        const auto found = report.find(WindowsPath(path));
        ASSERT_NE(found, report.end());
        const WineModule& platform = found->second;
        auto module = platform::ResourceModule::Load(path);
        ASSERT_NE(module, nullptr);

        // Every ID, both ways: what the platform finds we find, and nothing more.
        for (UINT id = 0; id <= 0xFFFF; ++id) {
            const std::string ours = module->LoadText(id);
            const auto theirs = platform.strings.find(id);
            if (theirs == platform.strings.end()) {
                EXPECT_EQ(ours, "") << "string " << id;
                continue;
            }
            EXPECT_EQ(Hex(ours), theirs->second.second) << "string " << id;
            if (IsAscii(ours)) {
                // LoadStringA's code page conversion leaves plain ASCII unchanged.
                EXPECT_EQ(Hex(ours), theirs->second.first) << "string " << id;
            }
        }

        const auto version = platform::ReadVersionStrings(path);
        ASSERT_TRUE(version);
        ASSERT_FALSE(version->translations.empty());
        char block[9];
        std::snprintf(block, sizeof block, "%04x%04x", version->translations[0].first,
                      version->translations[0].second);
        std::string fileVersion;
        for (const auto& value : version->values) {
            if (value.name == "FileVersion") {
                fileVersion = value.value;
            }
        }
        EXPECT_EQ(platform.version, std::string(block) + "\t" + fileVersion);
    }
}

} // namespace
} // namespace nv
