// nv-drive-dialog.exe works the windows of Norvane.exe from a second process, as a user would.
//
//   nv-drive-dialog QUEUE        waits for the print-settings dialog of a running Norvane.exe,
//                                picks printer QUEUE, presses Print and waits for the dialog to
//                                close; prints "printed"
//   nv-drive-dialog --launch PROGRAM COMMANDLINE
//                                starts PROGRAM with COMMANDLINE as its whole command line (the
//                                program named separately, as a launcher does), waits for its
//                                print-settings dialog and closes it; prints "dialog"
//   nv-drive-dialog --pick PROGRAM
//                                starts PROGRAM with an empty command line, waits for its
//                                open-file dialog (titled with string 1650 of a resource library
//                                beside it), cancels it and checks that the program then ends
//                                without showing any other window; prints "asked"
//
// Exits 1 with the reason otherwise.
#include <cstdio>
#include <string>
#include <vector>

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

namespace {

constexpr int kPrinterList = 1001;
constexpr int kPrintButton = 1029;
constexpr int kCloseButton = 1030;
constexpr UINT kOpenFileTitle = 1650;
constexpr int kWaitSteps = 600; // of 100 ms

int Fail(const std::string& reason) {
    std::printf("%s\n", reason.c_str());
    return 1;
}

bool IsSettingsDialog(HWND window) {
    return GetDlgItem(window, kPrintButton) != nullptr &&
           GetDlgItem(window, kPrinterList) != nullptr;
}

// The first visible dialog window of process PID (any process when 0) that ACCEPT takes.
template <typename Accept>
HWND FindDialog(DWORD pid, Accept accept) {
    for (HWND window = FindWindowW(L"#32770", nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, L"#32770", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if ((pid == 0 || owner == pid) && IsWindowVisible(window) && accept(window)) {
            return window;
        }
    }
    return nullptr;
}

template <typename Accept>
HWND WaitForDialog(DWORD pid, Accept accept) {
    for (int i = 0; i < kWaitSteps; ++i) {
        if (HWND window = FindDialog(pid, accept)) {
            return window;
        }
        Sleep(100);
    }
    return nullptr;
}

std::wstring TitleOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

std::string Utf8(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? static_cast<std::size_t>(size) : 1u, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

// String ID of the resource library at LIBRARY, "" when it cannot be read.
std::wstring LibraryText(const std::wstring& library, UINT id) {
    HMODULE module = LoadLibraryExW(library.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) {
        return L"";
    }
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    std::wstring result = length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : L"";
    FreeLibrary(module);
    return result;
}

// A started program, ended and released when this goes.
struct Started {
    PROCESS_INFORMATION info{};
    ~Started() {
        if (info.hProcess != nullptr) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(info.hProcess, 99);
            }
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
};

bool Start(const std::wstring& program, const std::wstring& commandLine, Started& started) {
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    return CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &started.info) != FALSE;
}

bool WaitForEnd(const Started& started) {
    return WaitForSingleObject(started.info.hProcess, kWaitSteps * 100) == WAIT_OBJECT_0;
}

int PrintOnQueue(const std::wstring& queue) {
    HWND dialog = WaitForDialog(0, IsSettingsDialog);
    if (dialog == nullptr) {
        return Fail("no print-settings dialog appeared");
    }
    HWND list = GetDlgItem(dialog, kPrinterList);
    const LRESULT index = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(queue.c_str()));
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
    for (int i = 0; i < kWaitSteps && IsWindow(dialog); ++i) {
        Sleep(100);
    }
    if (IsWindow(dialog)) {
        return Fail("the dialog is still open");
    }
    std::printf("printed\n");
    return 0;
}

int LaunchAndClose(const std::wstring& program, const std::wstring& commandLine) {
    Started started;
    if (!Start(program, commandLine, started)) {
        return Fail("cannot start the program");
    }
    HWND dialog = WaitForDialog(started.info.dwProcessId, IsSettingsDialog);
    if (dialog == nullptr) {
        HWND other = FindDialog(started.info.dwProcessId, [](HWND) { return true; });
        return Fail("no print-settings dialog appeared" +
                    (other != nullptr ? ", but: " + Utf8(TitleOf(other)) : std::string()));
    }
    PostMessageW(GetDlgItem(dialog, kCloseButton), BM_CLICK, 0, 0);
    if (!WaitForEnd(started)) {
        return Fail("the program did not end after Close");
    }
    std::printf("dialog\n");
    return 0;
}

int PickNothing(const std::wstring& program) {
    const std::wstring folder = program.substr(0, program.find_last_of(L"\\/") + 1);
    const std::wstring titles[] = {LibraryText(folder + L"Norvres.dll", kOpenFileTitle),
                                   LibraryText(folder + L"lang\\en\\Norvres.dll", kOpenFileTitle)};
    if (titles[0].empty()) {
        return Fail("the resource library beside the program has no string 1650");
    }
    Started started;
    if (!Start(program, L"", started)) {
        return Fail("cannot start the program");
    }
    const DWORD pid = started.info.dwProcessId;
    HWND first = WaitForDialog(pid, [](HWND) { return true; });
    if (first == nullptr) {
        return Fail("no window appeared");
    }
    // Let the window finish showing its title.
    Sleep(500);
    const std::wstring title = TitleOf(first);
    if (title != titles[0] && title != titles[1]) {
        return Fail("another window than the open-file dialog appeared: " + Utf8(title));
    }
    PostMessageW(first, WM_COMMAND, IDCANCEL, 0);
    for (int i = 0; i < kWaitSteps; ++i) {
        if (WaitForSingleObject(started.info.hProcess, 100) == WAIT_OBJECT_0) {
            DWORD status = 1;
            GetExitCodeProcess(started.info.hProcess, &status);
            if (status != 0) {
                return Fail("the program ended with status " + std::to_string(status));
            }
            std::printf("asked\n");
            return 0;
        }
        if (HWND other = FindDialog(pid, [first](HWND w) { return w != first; })) {
            return Fail("a window appeared after Cancel: " + Utf8(TitleOf(other)));
        }
    }
    return Fail("the program did not end after Cancel");
}

} // namespace

int main() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arg;
    for (int i = 1; args != nullptr && i < count; ++i) {
        arg.emplace_back(args[i]);
    }
    LocalFree(args);
    if (arg.size() == 1 && arg[0] != L"--pick") {
        return PrintOnQueue(arg[0]);
    }
    if (arg.size() == 3 && arg[0] == L"--launch") {
        return LaunchAndClose(arg[1], arg[2]);
    }
    if (arg.size() == 2 && arg[0] == L"--pick") {
        return PickNothing(arg[1]);
    }
    return Fail("usage: nv-drive-dialog QUEUE | --launch PROGRAM COMMANDLINE | --pick PROGRAM");
}
