// The help bridge's location of the runtime, its once-only load and the handlers' calls.
#include "help/HtmlHelp.h"

#include "help/HelpHandlers.h"
#include "platform/help/HelpTopics.h"
#include "platform/help/memory/MemoryHelpRuntime.h"
#include "platform/registry/memory/MemoryRegistry.h"

#include <gtest/gtest.h>

namespace nv::help {
namespace {

using platform::HH_HELP_CONTEXT;
using platform::HH_INITIALIZE;
using platform::HH_UNINITIALIZE;

class HtmlHelpTest : public ::testing::Test {
protected:
    void Register(const std::string& path) {
        platform::RegistryKey key;
        ASSERT_EQ(registry.CreateKeyEx(platform::RegistryRoot::classesRoot, kHtmlHelpClassKey,
                                       platform::KEY_ALL_ACCESS, key),
                  platform::ERROR_SUCCESS);
        ASSERT_EQ(registry.SetStringValue(key, "", path), platform::ERROR_SUCCESS);
    }

    platform::MemoryRegistry registry;
    platform::MemoryHelpRuntimeLoader loader;
    HtmlHelpBridge bridge{registry, loader};
};

TEST_F(HtmlHelpTest, LoadsTheRegisteredRuntimeFirst) {
    Register("/opt/viewer");
    loader.loadable = {"/opt/viewer", kHtmlHelpModuleName};
    DWORD_PTR cookie = 0;
    bridge.InvokeHtmlHelp(0, nullptr, HH_INITIALIZE, reinterpret_cast<DWORD_PTR>(&cookie));
    EXPECT_EQ(loader.loadAttempts, std::vector<std::string>{"/opt/viewer"});
    EXPECT_EQ(cookie, loader.cookie);
    bridge.InvokeHtmlHelp(0, nullptr, HH_UNINITIALIZE, cookie);
    ASSERT_EQ(loader.calls.size(), 2u);
    EXPECT_EQ(loader.calls[1].command, HH_UNINITIALIZE);
    EXPECT_EQ(loader.calls[1].data, loader.cookie);
    EXPECT_EQ(loader.loadAttempts.size(), 1u) << "loaded once for the process";
}

// Absent key, a registered path that does not load, and a value too long for the buffer all
// fall back to the module name.
TEST_F(HtmlHelpTest, FallsBackToTheModuleName) {
    struct Case {
        const char* name;
        std::string registered; // "" for no key
        std::vector<std::string> attempts;
    };
    const std::string tooLong(kHtmlHelpPathBuffer, 'x');
    const Case cases[] = {
        {"no key", "", {kHtmlHelpModuleName}},
        {"unloadable path",
         "%SystemRoot%\\hhctrl.ocx",
         {"%SystemRoot%\\hhctrl.ocx", kHtmlHelpModuleName}},
        {"value too long", tooLong, {kHtmlHelpModuleName}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::MemoryRegistry reg;
        platform::MemoryHelpRuntimeLoader load;
        load.loadable = {kHtmlHelpModuleName};
        if (!c.registered.empty()) {
            platform::RegistryKey key;
            reg.CreateKeyEx(platform::RegistryRoot::classesRoot, kHtmlHelpClassKey,
                            platform::KEY_ALL_ACCESS, key);
            reg.SetStringValue(key, "", c.registered);
        }
        HtmlHelpBridge b(reg, load);
        EXPECT_EQ(b.InvokeHtmlHelp(0, "f", HH_HELP_CONTEXT, 1), load.result);
        EXPECT_EQ(load.loadAttempts, c.attempts);
    }
}

TEST_F(HtmlHelpTest, MissingRuntimeMakesEveryCallANoOpAndLoadsOnce) {
    const CString helpFile = "/p/Norvane.chm";
    DWORD_PTR cookie = 0;
    EXPECT_EQ(
        bridge.InvokeHtmlHelp(0, nullptr, HH_INITIALIZE, reinterpret_cast<DWORD_PTR>(&cookie)), 0u);
    HELPINFO info;
    info.dwContextId = 1008;
    EXPECT_EQ(OnHelpInfo(bridge, helpFile, info), TRUE);
    OnHelp(bridge, helpFile);
    EXPECT_EQ(bridge.InvokeHtmlHelp(0, nullptr, HH_UNINITIALIZE, cookie), 0u);
    EXPECT_EQ(cookie, 0u);
    EXPECT_TRUE(bridge.HasFailed());
    EXPECT_EQ(loader.loadAttempts, std::vector<std::string>{kHtmlHelpModuleName});
}

TEST_F(HtmlHelpTest, MissingEntryPointIsLookedUpAgainOnEachCall) {
    loader.loadable = {kHtmlHelpModuleName};
    loader.hasEntryPoint = false;
    EXPECT_EQ(bridge.InvokeHtmlHelp(0, nullptr, HH_INITIALIZE, 0), 0u);
    EXPECT_EQ(bridge.InvokeHtmlHelp(0, "f", HH_HELP_CONTEXT, 1), 0u);
    EXPECT_EQ(loader.loadAttempts.size(), 1u);
    EXPECT_EQ(loader.entryLookups, 2);
    loader.hasEntryPoint = true;
    EXPECT_EQ(bridge.InvokeHtmlHelp(0, "f", HH_HELP_CONTEXT, 1), loader.result);
}

TEST_F(HtmlHelpTest, HandlersAskForTheirTopics) {
    loader.loadable = {kHtmlHelpModuleName};
    const CString helpFile = "/p/Norvane.chm";
    HELPINFO none; // a control whose help context ID is 0 still asks
    HELPINFO copies;
    copies.dwContextId = 1008;
    EXPECT_EQ(OnHelpInfo(bridge, helpFile, none), TRUE);
    EXPECT_EQ(OnHelpInfo(bridge, helpFile, copies), TRUE);
    OnHelp(bridge, helpFile);
    ASSERT_EQ(loader.calls.size(), 3u);
    EXPECT_EQ(loader.calls[0].file, "/p/Norvane.chm>popup");
    EXPECT_EQ(loader.calls[0].data, 0u);
    EXPECT_EQ(loader.calls[1].data, 1008u);
    EXPECT_EQ(loader.calls[2].file, "/p/Norvane.chm");
    EXPECT_EQ(loader.calls[2].data, 1u);
    for (const auto& call : loader.calls) {
        EXPECT_EQ(call.caller, 0u);
        EXPECT_EQ(call.command, HH_HELP_CONTEXT);
    }
}

// A '>' may be part of a folder name; only a name after the last '>' is a window type.
TEST(HelpTopicsTest, HelpFileKeepsAFolderNamedWithAWindowMark) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/p/Norvane.chm>popup", "/p/Norvane.chm"},
        {"/p/Norvane.chm", "/p/Norvane.chm"},
        {"/opt/a>b/Norvane.chm>popup", "/opt/a>b/Norvane.chm"},
        {"/opt/a>b/Norvane.chm", "/opt/a>b/Norvane.chm"},
        {"/opt/x>/Norvane.chm", "/opt/x>/Norvane.chm"},
        {"C:\\a>b\\Norvane.chm", "C:\\a>b\\Norvane.chm"},
    };
    for (const auto& [text, file] : cases) {
        EXPECT_EQ(platform::HelpFileOf(text), file) << text;
    }
}

TEST(HelpTopicsTest, ResolvesTopicsByLanguageAndContext) {
    const std::set<std::string> files = {"/p/help/ja/index.html", "/p/help/ja/topic-1008.html",
                                         "/p/help/en/index.html", "/p/help/en/topic-1008.html"};
    auto exists = [&](const std::string& f) { return files.count(f) != 0; };
    struct Case {
        UINT context;
        const char* language;
        const char* topic;
    } const cases[] = {
        {1008, "ja", "/p/help/ja/topic-1008.html"}, {1008, "en", "/p/help/en/topic-1008.html"},
        {1, "ja", "/p/help/ja/index.html"},         {0, "en", "/p/help/en/index.html"},
        {4711, "ja", "/p/help/ja/index.html"},      {1008, "de", "/p/help/en/topic-1008.html"},
        {1008, "", "/p/help/en/topic-1008.html"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::ResolveHelpTopic(platform::HelpFileOf("/p/Norvane.chm>popup"),
                                             c.context, c.language, exists),
                  c.topic)
            << c.context << " " << c.language;
    }
    EXPECT_EQ(platform::ResolveHelpTopic("/q/Norvane.chm", 1, "ja", exists), "");
    EXPECT_EQ(platform::FileUrl("/a b/ä#.html"), "file:///a%20b/%C3%A4%23.html");
}

} // namespace
} // namespace nv::help
