// nv-drive-dialog.exe QUEUE: a second process that works the print-settings dialog of a running
// Norvane.exe as a user would: waits for the dialog, picks printer QUEUE, presses Print and
// waits for the dialog to close. Prints "printed" on success; exits 1 with the reason
// otherwise.
//   --launch PROGRAM COMMANDLINE: starts PROGRAM named separately with COMMANDLINE as its whole
//     command line, as a launcher does; expects the print-settings dialog, presses Close.
//   --pick PROGRAM: starts PROGRAM with an empty command line; expects the open-file dialog,
//     presses Cancel.
// Both then expect the program to end with status 0 without another window; print "answered".
#include <cstdio>
#include <string>

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

namespace {

constexpr int kPrinterList = 1001;
constexpr int kPrintButton = 1029;
constexpr int kCloseButton = 1030;
constexpr int kFileNameCombo = 0x47C; // the open-file dialog's file-name field (cmb13)
constexpr int kFileNameEdit = 0x480;  // the same in the older layout (edt1)

HWND FindSettingsDialog() {
    for (HWND window = FindWindowW(L"#32770", nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, L"#32770", nullptr)) {
        if (GetDlgItem(window, kPrintButton) != nullptr && GetDlgItem(window, kPrinterList)) {
            return window;
        }
    }
    return nullptr;
}

int Fail(const char* reason) {
    std::printf("%s\n", reason);
    return 1;
}

// The first visible dialog window of process PID other than SKIP, waiting up to a minute when
// WAIT is set.
HWND FindWindowOf(DWORD pid, bool wait, HWND skip = nullptr) {
    for (int i = 0; i < (wait ? 600 : 1); Sleep(100), ++i) {
        for (HWND w = FindWindowW(L"#32770", nullptr); w != nullptr;
             w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == pid && w != skip && IsWindowVisible(w)) {
                return w;
            }
        }
    }
    return nullptr;
}

// Starts PROGRAM with COMMANDLINE, presses BUTTON in its first window when that window has
// control EXPECTED or OREXPECTED, and checks that the program then ends cleanly without
// another window.
int StartAndAnswer(const wchar_t* program, std::wstring commandLine, int expected, int orExpected,
                   int button) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        return Fail("cannot start the program");
    }
    const char* problem = nullptr;
    DWORD status = 1;
    HWND first = FindWindowOf(started.dwProcessId, true);
    if (first == nullptr ||
        (GetDlgItem(first, expected) == nullptr && GetDlgItem(first, orExpected) == nullptr)) {
        problem = first == nullptr ? "no window appeared" : "another window appeared first";
    } else {
        PostMessageW(first, WM_COMMAND, button,
                     reinterpret_cast<LPARAM>(GetDlgItem(first, button)));
        if (WaitForSingleObject(started.hProcess, 60000) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(started.hProcess, &status) || status != 0) {
            problem = "the program did not end cleanly";
        } else if (FindWindowOf(started.dwProcessId, false, first) != nullptr) {
            problem = "a second window appeared";
        }
    }
    TerminateProcess(started.hProcess, 99);
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
    return problem != nullptr ? Fail(problem) : (std::printf("answered\n"), 0);
}

} // namespace

int main(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::wstring mode = count > 1 ? wide[1] : L"";
    int answered = -1;
    if (count == 4 && mode == L"--launch") {
        answered = StartAndAnswer(wide[2], wide[3], kPrintButton, kPrintButton, kCloseButton);
    } else if (count == 3 && mode == L"--pick") {
        answered = StartAndAnswer(wide[2], L"", kFileNameCombo, kFileNameEdit, IDCANCEL);
    }
    LocalFree(wide);
    if (answered >= 0) {
        return answered;
    }
    if (argc != 2) {
        return Fail("usage: nv-drive-dialog QUEUE | --launch PROGRAM COMMANDLINE | --pick PROGRAM");
    }
    HWND dialog = nullptr;
    for (int i = 0; i < 600 && dialog == nullptr; ++i) {
        dialog = FindSettingsDialog();
        if (dialog == nullptr || !IsWindowVisible(dialog)) {
            dialog = nullptr;
            Sleep(100);
        }
    }
    if (dialog == nullptr) {
        return Fail("no print-settings dialog appeared");
    }
    HWND list = GetDlgItem(dialog, kPrinterList);
    const LRESULT index = SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(argv[1]));
    if (index == CB_ERR) {
        return Fail("the printer is not in the dialog's list");
    }
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kPrinterList, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    HWND print = GetDlgItem(dialog, kPrintButton);
    if (!IsWindowEnabled(print)) {
        return Fail("Print is disabled");
    }
    // Posted: the job runs inside the dialog's handler, and this process only waits.
    PostMessageW(print, BM_CLICK, 0, 0);
    for (int i = 0; i < 600 && IsWindow(dialog); ++i) {
        Sleep(100);
    }
    if (IsWindow(dialog)) {
        return Fail("the dialog is still open");
    }
    std::printf("printed\n");
    return 0;
}
