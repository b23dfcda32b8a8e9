// The print-settings dialog on real Win32 controls, made from the built resource libraries:
// scenarios of each interlock group are played through the window's controls as a user would
// (clicks, picks, typing, arrow keys on the up-down buddies) and must end in the state, with
// the message boxes, that the same steps give on the headless surface, with every control
// showing the surface's state. Screenshots of both languages, a message box and the About box
// go to the artifacts folder.
#include "gui/PdfSendDlgWindow.h"
#include "gui/win32/ResourceLibrary.h"
#include "gui/win32/Win32DialogHost.h"
#include "gui/win32/Win32MessageBox.h"
#include "help/AboutDlg.h"
#include "platform/text/win32/WideText.h"
#include "support/DialogScenario.h"
#include "support/PngFile.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

// The system's headers come last: their macros would clash with the program's constants.
#include <windows.h>
// commctrl.h needs windows.h before it.
#include <commctrl.h>
#undef GetWindowText
#undef AddPrinter

namespace nv::test {
namespace {

using gui::ResourceLibrary;
using gui::Win32DialogHost;

std::string ProgramDir() {
    const char* dir = std::getenv("NV_PROGRAM_DIR");
    return dir != nullptr ? std::string(dir) + "\\" : std::string();
}

std::string LibraryPath(bool english) {
    return ProgramDir() + (english ? "lang\\en\\" : "") + res::kResourceLibrary;
}

// One thing a user does in the dialog.
struct Step {
    enum Kind { kClick, kPick, kType, kSpin } kind;
    UINT id;
    int index = 0; // kPick: the item; kSpin: 1 up, 0 down
    std::string text;
};
Step ClickOn(UINT id) {
    return {Step::kClick, id, 0, {}};
}
Step PickIn(UINT id, int index) {
    return {Step::kPick, id, index, {}};
}
Step TypeIn(UINT id, std::string text) {
    return {Step::kType, id, 0, std::move(text)};
}
Step SpinUp(UINT id) {
    return {Step::kSpin, id, 1, {}};
}

void PlayHeadless(DialogScenario& s, const Step& step) {
    platform::DialogSurface& w = s.W();
    const int id = static_cast<int>(step.id);
    switch (step.kind) {
    case Step::kClick:
        w.Click(id);
        break;
    case Step::kPick:
        w.PickItem(id, step.index);
        break;
    case Step::kType:
        w.TypeText(id, step.text);
        break;
    case Step::kSpin:
        w.StepSpin(id, step.index != 0);
        break;
    }
}

// Plays STEP on the real controls of DIALOG. A user cannot reach a disabled control (Wine's
// BM_CLICK would still toggle a disabled check box, so the driver checks first).
void PlayOnWindow(HWND dialog, const Step& step) {
    HWND control = GetDlgItem(dialog, static_cast<int>(step.id));
    ASSERT_NE(control, nullptr) << step.id;
    if (!IsWindowEnabled(control) || !IsWindowVisible(control)) {
        return;
    }
    switch (step.kind) {
    case Step::kClick:
        SendMessageW(control, BM_CLICK, 0, 0);
        break;
    case Step::kPick:
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(step.index), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(step.id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
        break;
    case Step::kType:
        SetWindowTextW(control, platform::WideFromUtf8(step.text).value().c_str());
        break;
    case Step::kSpin: {
        // The arrow keys in the buddy edit work the up-down control.
        HWND buddy = reinterpret_cast<HWND>(SendMessageW(control, UDM_GETBUDDY, 0, 0));
        ASSERT_NE(buddy, nullptr);
        if (IsWindowEnabled(buddy)) {
            const WPARAM key = step.index != 0 ? VK_UP : VK_DOWN;
            SendMessageW(buddy, WM_KEYDOWN, key, 1);
            SendMessageW(buddy, WM_KEYUP, key, 0xC0000001);
        }
        break;
    }
    }
}

std::string Utf8(const std::wstring& text) {
    return platform::Utf8FromWide(text);
}

std::wstring TextOf(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The state of every control of the surface, one line each.
std::string Snapshot(platform::DialogSurface& w) {
    std::ostringstream out;
    for (int id : w.ControlIds()) {
        const platform::Control* c = w.GetDlgItem(id);
        out << id << " '" << c->GetWindowText() << "' en=" << c->IsWindowEnabled()
            << " vis=" << c->IsWindowVisible();
        if (const auto* box = w.GetCheckBox(id)) {
            out << " check=" << box->GetCheck();
        }
        if (const auto* combo = w.GetComboBox(id)) {
            out << " sel=" << combo->GetCurSel() << " items=" << combo->items().size();
        }
        if (const auto* icon = w.GetStaticIcon(id)) {
            out << " icon=" << icon->GetIcon();
        }
        out << "\n";
    }
    return out.str();
}

// Where the real window does not show the surface's state, one line each; "" when it does.
std::string Mismatches(platform::DialogSurface& w, HWND dialog, ResourceLibrary& library) {
    std::ostringstream out;
    for (int id : w.ControlIds()) {
        const platform::Control* c = w.GetDlgItem(id);
        HWND h = GetDlgItem(dialog, id);
        if (h == nullptr) {
            out << id << ": no control\n";
            continue;
        }
        const bool isIcon = c->kind() == platform::ControlKind::StaticIcon;
        if (!isIcon && (IsWindowEnabled(h) != FALSE) != (c->IsWindowEnabled() != 0)) {
            out << id << ": enabled " << IsWindowEnabled(h) << "\n";
        }
        if (((GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0) != (c->IsWindowVisible() != 0)) {
            out << id << ": visible\n";
        }
        switch (c->kind()) {
        case platform::ControlKind::Label:
        case platform::ControlKind::PushButton:
        case platform::ControlKind::CheckBox:
        case platform::ControlKind::Edit:
            if (Utf8(TextOf(h)) != c->GetWindowText()) {
                out << id << ": text '" << Utf8(TextOf(h)) << "'\n";
            }
            break;
        default:
            break;
        }
        if (const auto* box = w.GetCheckBox(id)) {
            if (SendMessageW(h, BM_GETCHECK, 0, 0) != static_cast<LRESULT>(box->GetCheck())) {
                out << id << ": check\n";
            }
        }
        if (const auto* combo = w.GetComboBox(id)) {
            if (SendMessageW(h, CB_GETCURSEL, 0, 0) != combo->GetCurSel() ||
                SendMessageW(h, CB_GETCOUNT, 0, 0) != static_cast<LRESULT>(combo->items().size())) {
                out << id << ": selection or items\n";
            }
        }
        if (const auto* icon = w.GetStaticIcon(id)) {
            const HICON shown = reinterpret_cast<HICON>(SendMessageW(h, STM_GETICON, 0, 0));
            if (icon->GetIcon() != 0 &&
                shown != library.Icon(static_cast<std::uint32_t>(icon->GetIcon()), true)) {
                out << id << ": icon\n";
            }
        }
    }
    return out.str();
}

// Saves what the screen shows of WINDOW as artifacts/NAME.png.
void SaveScreenshot(HWND window, const std::string& name) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME | RDW_ERASE);
    MSG message;
    for (int i = 0; i < 20; ++i) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    ASSERT_GT(width, 0);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    const auto* pixels = static_cast<const std::uint8_t*>(bits);
    for (int i = 0; i < width * height; ++i) {
        rgb.push_back(pixels[i * 4 + 2]);
        rgb.push_back(pixels[i * 4 + 1]);
        rgb.push_back(pixels[i * 4]);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::filesystem::create_directories(NV_ARTIFACTS_DIR);
    const char* dpi = std::getenv("NV_WINE_DPI");
    const std::string file = std::string(NV_ARTIFACTS_DIR) + "/" + name + "-" +
                             (dpi != nullptr ? dpi : "96") + "dpi.png";
    EXPECT_TRUE(WritePng(file, width, height, rgb));
}

class Win32Dialog : public ::testing::Test {
protected:
    // Opens a scenario on a printer of model DIRECTPRINT.
    static void Prepare(DialogScenario& s, UINT directPrint) {
        s.AddPrinter("Office", "Q", CapabilityFile("Q", directPrint));
    }

    // Plays STEPS headless and on the real window of the Japanese library; both must end in the
    // same state with the same message boxes, and the window must show that state.
    void ExpectSameOnWindow(UINT directPrint, const std::vector<Step>& steps) {
        DialogScenario headless;
        Prepare(headless, directPrint);
        ASSERT_EQ(headless.Open(), TRUE);
        for (const Step& step : steps) {
            PlayHeadless(headless, step);
        }

        DialogScenario real;
        Prepare(real, directPrint);
        ResourceLibrary library(LibraryPath(false));
        ASSERT_NE(library.Handle(), nullptr);
        std::string shownState;
        std::string mismatches = "never shown";
        Win32DialogHost host(library, L"Cancel");
        host.SetShownHook([&](HWND hwnd) {
            for (const Step& step : steps) {
                PlayOnWindow(hwnd, step);
            }
            shownState = Snapshot(real.W());
            mismatches = Mismatches(real.W(), hwnd, library);
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
        });
        real.Build();
        EXPECT_EQ(gui::RunPdfSendDialog(*real.dlg, host, nullptr), IDCANCEL);
        EXPECT_EQ(mismatches, "");
        EXPECT_EQ(shownState, Snapshot(headless.W()));
        EXPECT_EQ(real.TakeMessages(), headless.TakeMessages());
        EXPECT_EQ(real.W().DroppedNotifications(), 0);
    }
};

TEST_F(Win32Dialog, DuplexAndBinding) {
    ExpectSameOnWindow(kEverything,
                       {ClickOn(res::ctl::kDuplexCheck), PickIn(res::ctl::kBindingList, 1)});
}

TEST_F(Win32Dialog, DuplexRulesOutThePageRange) {
    ExpectSameOnWindow(kEverything & ~kRangeWithDuplex,
                       {ClickOn(res::ctl::kPageRangeCheck), ClickOn(res::ctl::kDuplexCheck),
                        ClickOn(res::ctl::kPageRangeCheck), ClickOn(res::ctl::kDuplexCheck)});
}

TEST_F(Win32Dialog, UncollatedCopiesRuleOutThePageRange) {
    ExpectSameOnWindow(kEverything & ~kRangeWithCopies,
                       {ClickOn(res::ctl::kPageRangeCheck), ClickOn(res::ctl::kCollateCheck),
                        TypeIn(res::ctl::kCopiesEdit, "2"), ClickOn(res::ctl::kCollateCheck),
                        TypeIn(res::ctl::kCopiesEdit, "0")});
}

TEST_F(Win32Dialog, PageRangeThroughSpinsAndTyping) {
    ExpectSameOnWindow(kEverything & ~kOpenEnd,
                       {ClickOn(res::ctl::kPageRangeCheck), SpinUp(res::ctl::kStartPageSpin),
                        SpinUp(res::ctl::kStartPageSpin), TypeIn(res::ctl::kEndPageEdit, "1"),
                        TypeIn(res::ctl::kStartPageEdit, "70000"),
                        ClickOn(res::ctl::kPageRangeCheck)});
}

TEST_F(Win32Dialog, PasswordAndDefaults) {
    ExpectSameOnWindow(
        kEverything, {ClickOn(res::ctl::kPasswordCheck), TypeIn(res::ctl::kPasswordEdit, "secret"),
                      PickIn(res::ctl::kPaperSourceList, 1), ClickOn(res::ctl::kDefaultsButton)});
}

TEST_F(Win32Dialog, WithoutPageRangeNothingCanTickIt) {
    ExpectSameOnWindow(kEverything | kNoPageRange,
                       {ClickOn(res::ctl::kPageRangeCheck), ClickOn(res::ctl::kDuplexCheck),
                        TypeIn(res::ctl::kCopiesEdit, "5")});
}

// The window's own commands: the About item the dialog appends to the system menu, F1 on the
// control that has the focus, and the close box, which ends the dialog as Cancel does.
TEST_F(Win32Dialog, SystemMenuHelpAndClose) {
    DialogScenario s;
    Prepare(s, kEverything);
    ResourceLibrary library(LibraryPath(false));
    Win32DialogHost host(library, L"Cancel");
    std::vector<int> helpRequests;
    UINT aboutState = 0xFFFFFFFF;
    host.SetShownHook([&](HWND hwnd) {
        aboutState = GetMenuState(GetSystemMenu(hwnd, FALSE), IDM_ABOUTBOX, MF_BYCOMMAND);
        SendMessageW(hwnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        SetFocus(GetDlgItem(hwnd, static_cast<int>(res::ctl::kCopiesEdit)));
        HELPINFO info{};
        info.cbSize = sizeof info;
        info.iContextType = HELPINFO_WINDOW;
        info.iCtrlId = static_cast<int>(res::ctl::kCopiesEdit);
        SendMessageW(hwnd, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    s.Build();
    EXPECT_EQ(gui::RunPdfSendDialog(*s.dlg, host, nullptr,
                                    [&](int contextId) { helpRequests.push_back(contextId); }),
              IDCANCEL);
    EXPECT_NE(aboutState, 0xFFFFFFFFu); // the item is there
    EXPECT_EQ(s.aboutRuns, 1);
    EXPECT_EQ(helpRequests, std::vector<int>{static_cast<int>(res::ctl::kCopiesEdit)});
}

// While a job is sent the dialog takes no input but its Cancel button, which only records the
// request; afterwards every control shows the surface's state again.
TEST_F(Win32Dialog, ProgressOfALongJob) {
    DialogScenario s;
    Prepare(s, kEverything);
    ResourceLibrary library(LibraryPath(false));
    Win32DialogHost host(library, L"Cancel");
    bool disabledWhileBusy = false;
    bool requested = false;
    std::string afterwards = "never shown";
    host.SetShownHook([&](HWND hwnd) {
        gui::Win32JobProgress& progress = host.Progress();
        progress.Started(1000);
        progress.Advanced(400);
        HWND print = GetDlgItem(hwnd, static_cast<int>(res::ctl::kPrintButton));
        HWND cancel = GetDlgItem(hwnd, gui::DialogWindow::kJobCancelId);
        disabledWhileBusy = !IsWindowEnabled(print) && cancel != nullptr;
        EXPECT_FALSE(progress.CancelRequested());
        SendMessageW(print, BM_CLICK, 0, 0); // refused: nothing is sent
        SendMessageW(cancel, BM_CLICK, 0, 0);
        requested = progress.CancelRequested();
        progress.Finished();
        afterwards = Mismatches(s.W(), hwnd, library);
        EXPECT_EQ(GetDlgItem(hwnd, gui::DialogWindow::kJobCancelId), nullptr);
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
    });
    s.Build();
    EXPECT_EQ(gui::RunPdfSendDialog(*s.dlg, host, nullptr), IDCANCEL);
    EXPECT_TRUE(disabledWhileBusy);
    EXPECT_TRUE(requested);
    EXPECT_EQ(afterwards, "");
    EXPECT_EQ(s.spooler.Jobs().size(), 0u);
}

// The dialog in each language with its real texts, a message box and the About box, saved as
// pictures to look at.
TEST_F(Win32Dialog, Screenshots) {
    for (bool english : {false, true}) {
        const std::string suffix = english ? "en" : "ja";
        auto texts = platform::ResourceModule::Load(LibraryPath(english));
        ASSERT_NE(texts, nullptr);
        ResourceLibrary library(LibraryPath(english));
        DialogScenario s;
        s.resources = texts.get();
        Prepare(s, kEverything);
        s.AddPrinter("Velmora Q-2200 (3rd floor)", "Q2", CapabilityFile("Q2", kEverything));
        Win32DialogHost host(library, L"Cancel");
        host.SetShownHook([&](HWND hwnd) {
            PlayOnWindow(hwnd, ClickOn(res::ctl::kDuplexCheck));
            PlayOnWindow(hwnd, ClickOn(res::ctl::kPageRangeCheck));
            PlayOnWindow(hwnd, ClickOn(res::ctl::kPasswordCheck));
            SaveScreenshot(hwnd, "win32-settings-" + suffix);
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
        });
        s.Build();
        EXPECT_EQ(gui::RunPdfSendDialog(*s.dlg, host, texts.get()), IDCANCEL);

        help::CAboutDlg about(texts.get(), ProgramDir() + "Norvane.exe", host);
        host.SetShownHook([&](HWND hwnd) {
            SaveScreenshot(hwnd, "win32-about-" + suffix);
            PlayOnWindow(hwnd, ClickOn(IDOK));
        });
        EXPECT_EQ(about.DoModal(), IDOK);
    }
}

// A window procedure for a helper window whose timer takes a picture of the message box the
// thread shows and then presses its first button.
LRESULT CALLBACK BoxCatcher(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_TIMER) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    HWND box = FindWindowW(L"#32770", L"Norvane test");
    if (box != nullptr) {
        KillTimer(hwnd, 1);
        SaveScreenshot(box, "win32-message-box");
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return 0;
}

TEST_F(Win32Dialog, MessageBoxScreenshot) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &BoxCatcher;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"NvBoxCatcher";
    RegisterClassW(&windowClass);
    HWND catcher = CreateWindowExW(0, L"NvBoxCatcher", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   windowClass.hInstance, nullptr);
    ASSERT_NE(catcher, nullptr);
    SetTimer(catcher, 1, 300, nullptr);
    gui::Win32MessageBox box;
    const int pressed = box.Show("ページ範囲が正しくありません。\nPage range is not valid.",
                                 "Norvane test", MB_OK | MB_ICONEXCLAMATION, false);
    EXPECT_EQ(pressed, IDOK);
    DestroyWindow(catcher);
}

} // namespace
} // namespace nv::test
