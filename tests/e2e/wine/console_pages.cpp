// nv-console-pages.exe NORVANE-PRINT: norvane-print.exe changes the console's code pages to
// UTF-8 while it runs and puts back the ones it found when it ends: after its version, a usage
// error and a run that stops before the dialog. Prints "restored" when every run left the pages
// as they were; exits 1 with the first difference otherwise. (Wine delivers no console control
// event to a program on a pseudo-terminal, so Ctrl+Break cannot be tried here.)
#include <cstdio>
#include <string>
#include <vector>

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

namespace {

constexpr UINT kInputPage = 437;
constexpr UINT kOutputPage = 850;

struct Run {
    const wchar_t* name;
    std::wstring arguments;
    DWORD status;
};

// Runs PROGRAM with RUN's arguments on this process's console; the exit status, or a reason.
std::string RunOnce(const std::wstring& program, const Run& run, DWORD& status) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        return "no pipe";
    }
    SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
    std::wstring line = L"norvane-print.exe " + run.arguments;
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = readEnd;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    const BOOL started =
        CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, TRUE,
                       CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &info);
    CloseHandle(readEnd);
    if (!started) {
        CloseHandle(writeEnd);
        return "cannot start the program (error " + std::to_string(GetLastError()) + ")";
    }
    CloseHandle(writeEnd); // nothing on standard input
    std::string problem;
    if (WaitForSingleObject(info.hProcess, 60000) != WAIT_OBJECT_0) {
        TerminateProcess(info.hProcess, 99);
        problem = "the program did not end";
    }
    GetExitCodeProcess(info.hProcess, &status);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return problem;
}

} // namespace

int main() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (args == nullptr || count != 2) {
        std::printf("usage: nv-console-pages NORVANE-PRINT\n");
        return 1;
    }
    std::wstring program = args[1];
    LocalFree(args);
    // A Unix path, as the build names its programs: its Windows form on drive Z:.
    if (!program.empty() && program[0] == L'/') {
        for (wchar_t& c : program) {
            c = c == L'/' ? L'\\' : c;
        }
        program = L"Z:" + program;
    }
    // A console of its own, which the programs it starts share.
    if (!SetConsoleCP(kInputPage)) {
        FreeConsole();
        AllocConsole();
    }
    if (!SetConsoleCP(kInputPage) || !SetConsoleOutputCP(kOutputPage)) {
        std::printf("this console keeps its code pages (%lu)\n", GetLastError());
        return 1;
    }
    const Run runs[] = {
        {L"--version", L"--version", 0},
        {L"a usage error", L"--no-such-option", 2},
        {L"no password on standard input", L"--password-stdin missing.pdf", 2},
    };
    for (const Run& run : runs) {
        DWORD status = 0;
        const std::string problem = RunOnce(program, run, status);
        const UINT input = GetConsoleCP();
        const UINT output = GetConsoleOutputCP();
        if (!problem.empty() || status != run.status || input != kInputPage ||
            output != kOutputPage) {
            std::printf("%ls: %s status 0x%lx, code pages %u and %u\n", run.name, problem.c_str(),
                        static_cast<unsigned long>(status), input, output);
            return 1;
        }
    }
    std::printf("restored\n");
    return 0;
}
