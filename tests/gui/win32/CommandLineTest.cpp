// The PDF's path: the whole command line from a launcher that names the program separately,
// what follows the program's own name when the command line begins with it.
#include "gui/win32/CommandLine.h"

#include <gtest/gtest.h>

namespace nv::gui {
namespace {

TEST(PathText, WholeLineUnlessItBeginsWithTheProgram) {
    const std::wstring program = LR"(C:\Program Files\Norvane\Norvane.exe)";
    const struct {
        const wchar_t* commandLine;
        const wchar_t* path;
    } cases[] = {
        // Begins with the program: the rest, taken whole.
        {LR"("C:\Program Files\Norvane\Norvane.exe" C:\My Files\a b.pdf)",
         LR"(C:\My Files\a b.pdf)"},
        {LR"("c:\program files\norvane\NORVANE.EXE" C:\x.pdf)", LR"(C:\x.pdf)"},
        {LR"(C:\Program Files\Norvane\Norvane.exe C:\x.pdf)", LR"(C:\x.pdf)"},
        {LR"(Norvane.exe   C:\x.pdf)", LR"(C:\x.pdf)"},
        {LR"(norvane C:\x.pdf)", LR"(C:\x.pdf)"},
        {L"Norvane.exe\tC:\\x.pdf ", L"C:\\x.pdf "}, // trailing blanks are part of the path
        {LR"(Norvane.exe "C:\quoted.pdf")", LR"("C:\quoted.pdf")"}, // no quote is removed
        // Nothing after the program, or nothing at all: no file.
        {LR"("C:\Program Files\Norvane\Norvane.exe")", L""},
        {LR"(C:\Program Files\Norvane\Norvane.exe  )", L""},
        {L"Norvane.exe", L""},
        {L"", L""},
        // A launcher's command line is the path alone, blanks included.
        {LR"(C:\My Files\a b.pdf)", LR"(C:\My Files\a b.pdf)"},
        {LR"(C:\Program Files\Norvane\Norvane.exe.pdf)",
         LR"(C:\Program Files\Norvane\Norvane.exe.pdf)"},
        {LR"(D:\Other\Norvane.exe C:\x.pdf)", LR"(D:\Other\Norvane.exe C:\x.pdf)"},
        {LR"("C:\quoted.pdf")", LR"("C:\quoted.pdf")"},
        {LR"("C:\unterminated quote.exe C:\x.pdf)", LR"("C:\unterminated quote.exe C:\x.pdf)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PathTextOf(c.commandLine, program), c.path) << c.commandLine;
    }
}

} // namespace
} // namespace nv::gui
