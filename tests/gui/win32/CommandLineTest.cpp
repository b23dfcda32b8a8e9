// The PDF's path is what follows the program name on the command line, taken whole.
#include "gui/win32/CommandLine.h"

#include <gtest/gtest.h>

namespace nv::gui {
namespace {

TEST(ArgumentText, FollowsTheProgramNameAndKeepsTheRestWhole) {
    const struct {
        const wchar_t* commandLine;
        const wchar_t* argument;
    } cases[] = {
        {LR"("C:\Program Files\Velmora\Norvane.exe" C:\My Files\a b.pdf)",
         LR"(C:\My Files\a b.pdf)"},
        {LR"(Norvane.exe   C:\x.pdf)", LR"(C:\x.pdf)"},
        {L"Norvane.exe\tC:\\x.pdf ", L"C:\\x.pdf "}, // trailing blanks are part of the path
        {LR"(Norvane.exe "C:\quoted.pdf")", LR"("C:\quoted.pdf")"}, // no quote is removed
        {LR"("C:\Program Files\Norvane.exe")", L""},
        {L"Norvane.exe", L""},
        {LR"("C:\unterminated quote.exe C:\x.pdf)", L""},
        {L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ArgumentTextOf(c.commandLine), c.argument) << c.commandLine;
    }
}

} // namespace
} // namespace nv::gui
