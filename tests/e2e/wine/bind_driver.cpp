// nv-bind-driver: installs a printer driver whose dependent files include a capability file and
// binds it to a printer, as a printer maker's installer would; run under Wine by the end-to-end
// test, whose printers are the private scheduler's queues.
//
//   nv-bind-driver PRINTER DRIVER SOURCE-FOLDER DRIVER-FILE DEPENDENT-FILE...
//
// The files are named relative to SOURCE-FOLDER, from which the spooler copies them into its
// driver folder. Prints "bound", then the driver record the spooler now reports for PRINTER
// (driver path, then each dependent file, one per line). Also prints "wine VERSION" first when
// it runs under Wine (asked of Wine itself), so the caller knows which spooler it tests.
#include <cstdio>
#include <string>
#include <vector>
#include <windows.h>
#include <winspool.h>

namespace {

const char* WineVersion() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (ntdll == nullptr) {
        return nullptr;
    }
    using Version = const char*(CDECL*)();
    auto proc = reinterpret_cast<Version>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
    return proc != nullptr ? proc() : nullptr;
}

int Fail(const char* what) {
    std::fprintf(stderr, "nv-bind-driver: %s failed (error %lu)\n", what, GetLastError());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: nv-bind-driver PRINTER DRIVER SOURCE-FOLDER DRIVER-FILE "
                             "DEPENDENT-FILE...\n");
        return 2;
    }
    if (const char* wine = WineVersion()) {
        std::printf("wine %s\n", wine);
    }
    std::string printer = argv[1];
    std::string driver = argv[2];
    const std::string source = std::string(argv[3]) + "\\";
    std::string driverPath = source + argv[4];
    std::string dependents;
    for (int i = 5; i < argc; ++i) {
        dependents += source + argv[i];
        dependents.push_back('\0');
    }
    dependents.push_back('\0');

    DRIVER_INFO_3A info{};
    info.cVersion = 3;
    info.pName = driver.data();
    info.pDriverPath = driverPath.data();
    info.pDataFile = driverPath.data();
    info.pConfigFile = driverPath.data();
    info.pDependentFiles = dependents.data();
    if (!AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&info),
                             APD_COPY_ALL_FILES | APD_COPY_FROM_DIRECTORY)) {
        return Fail("AddPrinterDriverExA");
    }

    PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE handle = nullptr;
    if (!OpenPrinterA(printer.data(), &handle, &access)) {
        return Fail("OpenPrinterA");
    }
    DWORD needed = 0;
    GetPrinterA(handle, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !GetPrinterA(handle, 2, buffer.data(), needed, &needed)) {
        ClosePrinter(handle);
        return Fail("GetPrinterA");
    }
    auto* current = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
    current->pDriverName = driver.data();
    current->pSecurityDescriptor = nullptr;
    if (!SetPrinterA(handle, 2, buffer.data(), 0)) {
        ClosePrinter(handle);
        return Fail("SetPrinterA");
    }
    std::printf("bound\n");

    needed = 0;
    GetPrinterDriverA(handle, nullptr, 3, nullptr, 0, &needed);
    std::vector<BYTE> record(needed);
    if (needed == 0 || !GetPrinterDriverA(handle, nullptr, 3, record.data(), needed, &needed)) {
        ClosePrinter(handle);
        return Fail("GetPrinterDriverA");
    }
    const auto* bound = reinterpret_cast<const DRIVER_INFO_3A*>(record.data());
    std::printf("%s\n", bound->pDriverPath != nullptr ? bound->pDriverPath : "");
    for (const char* file = bound->pDependentFiles; file != nullptr && *file != '\0';
         file += std::string(file).size() + 1) {
        std::printf("%s\n", file);
    }
    ClosePrinter(handle);
    return 0;
}
