// The dialog window's own parts: its system menu, its icons and the system commands a user
// chooses.
#include "platform/ui/DialogSurface.h"

#include <gtest/gtest.h>

namespace nv::platform {
namespace {

TEST(Window, SystemMenuItemsIconsAndCommandsReachTheirSinks) {
    DialogSurface window;
    std::vector<std::pair<int, Change>> changes;
    window.SetObserver([&](int id, Change what) { changes.emplace_back(id, what); });
    std::vector<UINT> commands;
    window.SetSysCommandSink([&](UINT command) { commands.push_back(command); });

    SystemMenu* menu = window.GetSystemMenu();
    ASSERT_NE(menu, nullptr);
    menu->AppendSeparator();
    menu->AppendString(16, std::string_view("About\0tail", 10)); // cut at its NUL
    EXPECT_EQ(menu->Items(), (std::vector<MenuItem>{{0, "", true}, {16, "About", false}}));

    EXPECT_EQ(window.SetIcon(204, true), 0u);
    EXPECT_EQ(window.SetIcon(205, true), 204u);
    EXPECT_EQ(window.GetIcon(false), 0u);

    EXPECT_TRUE(window.ChooseSystemCommand(16));
    window.EndDialog(2);
    EXPECT_FALSE(window.ChooseSystemCommand(16));
    EXPECT_EQ(commands, std::vector<UINT>{16});
    const int dialog = DialogSurface::kDialogId;
    EXPECT_EQ(changes, (std::vector<std::pair<int, Change>>{{dialog, Change::Menu},
                                                            {dialog, Change::Menu},
                                                            {dialog, Change::Icon},
                                                            {dialog, Change::Icon},
                                                            {dialog, Change::Ended}}));

    window.SetHasSystemMenu(false);
    EXPECT_EQ(window.GetSystemMenu(), nullptr);
    window.SetHasSystemMenu(true);
    EXPECT_TRUE(window.GetSystemMenu()->Items().empty());
}

} // namespace
} // namespace nv::platform
