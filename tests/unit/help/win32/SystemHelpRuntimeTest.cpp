// The system's HTML Help control as the help runtime: loaded by name, its entry point found by
// ordinal, and a help file that is not there shows nothing.
#include "platform/help/win32/SystemHelpRuntime.h"

#include <gtest/gtest.h>

namespace nv::platform {
namespace {

TEST(SystemHelpRuntime, LoadsTheHelpControlAndFindsHtmlHelpByOrdinal) {
    SystemHelpRuntimeLoader loader;
    EXPECT_EQ(loader.LoadLibraryA(nullptr), nullptr);
    EXPECT_EQ(loader.LoadLibraryA(""), nullptr);
    EXPECT_EQ(loader.LoadLibraryA("no-such-help-control.ocx"), nullptr);

    auto module = loader.LoadLibraryA("hhctrl.ocx");
    ASSERT_NE(module, nullptr);
    EXPECT_FALSE(module->GetProcAddress(0x10000)); // not an ordinal
    HtmlHelpProc htmlHelp = module->GetProcAddress(14);
    ASSERT_TRUE(htmlHelp);
    EXPECT_EQ(htmlHelp(0, "Z:\\nonexistent\\norvane.chm", HH_HELP_CONTEXT, 1001), 0u);
}

} // namespace
} // namespace nv::platform
