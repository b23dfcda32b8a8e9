// The desktop viewer as the help runtime: found on PATH or at a registered path, started
// detached with the topic's URL; missing, it makes help a silent no-op.
#include "platform/help/posix/DesktopHelpRuntime.h"

#include "help/HelpHandlers.h"
#include "platform/help/HelpTopics.h"
#include "platform/registry/memory/MemoryRegistry.h"
#include "unit/modules/ModuleFiles.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace nv::help {
namespace {

namespace fs = std::filesystem;

class DesktopHelpRuntimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("nv-help-" + std::to_string(::getpid()));
        fs::create_directories(dir / "bin");
        const char* path = std::getenv("PATH");
        savedPath = path != nullptr ? path : "";
    }
    void TearDown() override {
        ::setenv("PATH", savedPath.c_str(), 1);
        fs::remove_all(dir);
    }
    // A viewer that writes the URL it was given into a file.
    fs::path WriteViewer(const std::string& name) {
        const fs::path viewer = dir / "bin" / name;
        std::ofstream(viewer) << "#!/bin/sh\nprintf '%s' \"$1\" > \"" << (dir / "opened").string()
                              << ".tmp\" && /bin/mv \"" << (dir / "opened").string() << ".tmp\" \""
                              << (dir / "opened").string() << "\"\n";
        fs::permissions(viewer, fs::perms::owner_all);
        return viewer;
    }
    std::string Opened() {
        for (int i = 0; i < 100 && !fs::exists(dir / "opened"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::ifstream in(dir / "opened");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path dir;
    std::string savedPath;
    platform::MemoryRegistry registry;
};

TEST_F(DesktopHelpRuntimeTest, OpensTheShippedTopicInTheViewerOnPath) {
    WriteViewer(platform::kDesktopHelpViewer);
    ::setenv("PATH", (dir / "bin").c_str(), 1);
    platform::DesktopHelpRuntimeLoader loader("en");
    HtmlHelpBridge bridge(registry, loader);
    const std::string helpFile = test::ProgramFile("Norvane.chm");
    HELPINFO info;
    info.dwContextId = 1008;
    OnHelpInfo(bridge, helpFile, info);
    EXPECT_EQ(Opened(), platform::FileUrl(test::ProgramFile("help/en/topic-1008.html")));
}

TEST_F(DesktopHelpRuntimeTest, RegisteredViewerIsUsedAndMissingViewerIsSilent) {
    const fs::path viewer = WriteViewer("my-viewer");
    ::setenv("PATH", (dir / "nothing").c_str(), 1);
    {
        platform::DesktopHelpRuntimeLoader loader("ja");
        HtmlHelpBridge bridge(registry, loader);
        OnHelp(bridge, test::ProgramFile("Norvane.chm"));
        EXPECT_TRUE(bridge.HasFailed()) << "no viewer on PATH, none registered";
        EXPECT_FALSE(fs::exists(dir / "opened"));
    }
    platform::RegistryKey key;
    registry.CreateKeyEx(platform::RegistryRoot::classesRoot, kHtmlHelpClassKey,
                         platform::KEY_ALL_ACCESS, key);
    registry.SetStringValue(key, "", viewer.string());
    platform::DesktopHelpRuntimeLoader loader("ja");
    HtmlHelpBridge bridge(registry, loader);
    OnHelp(bridge, test::ProgramFile("Norvane.chm"));
    EXPECT_NE(Opened().find("/help/ja/index.html"), std::string::npos);
}

} // namespace
} // namespace nv::help
