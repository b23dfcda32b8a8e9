// nv-drive-dialog.exe QUEUE: a second process that works the print-settings dialog of a running
// Norvane.exe as a user would: waits for the dialog, picks printer QUEUE, presses Print and
// waits for the dialog to close. Prints "printed" on success; exits 1 with the reason
// otherwise.
#include <cstdio>
#include <string>
#include <windows.h>

namespace {

constexpr int kPrinterList = 1001;
constexpr int kPrintButton = 1029;

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

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return Fail("usage: nv-drive-dialog QUEUE");
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
