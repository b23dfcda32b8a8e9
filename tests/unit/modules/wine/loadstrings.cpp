// Windows console program run under Wine by the module tests: loads each module named on the
// command line as a data file and prints, for every string ID that holds text, what the
// platform's LoadStringA returns and what LoadStringW returns converted to UTF-8, both in hex;
// then the module's FileVersion and translation as the platform's version calls read them.
#include <cstdio>
#include <cstring>
#include <windows.h>

static void PrintHex(const char* bytes, int length) {
    for (int i = 0; i < length; ++i) {
        std::printf("%02x", static_cast<unsigned char>(bytes[i]));
    }
}

static void PrintStrings(HMODULE module) {
    static char narrow[8192];
    static wchar_t wide[8192];
    static char utf8[32768];
    for (unsigned id = 0; id <= 0xFFFF; ++id) {
        const int wideLength = LoadStringW(module, id, wide, 8192);
        if (wideLength <= 0) {
            continue;
        }
        const int narrowLength = LoadStringA(module, id, narrow, sizeof narrow);
        const int utf8Length =
            WideCharToMultiByte(CP_UTF8, 0, wide, wideLength, utf8, sizeof utf8, nullptr, nullptr);
        std::printf("string\t%u\t", id);
        PrintHex(narrow, narrowLength);
        std::printf("\t");
        PrintHex(utf8, utf8Length);
        std::printf("\n");
    }
}

static void PrintVersion(const char* path) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    static unsigned char block[65536];
    if (size == 0 || size > sizeof block || !GetFileVersionInfoA(path, handle, size, block)) {
        std::printf("version\tnone\n");
        return;
    }
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block, "\\VarFileInfo\\Translation", &value, &length) || length < 4) {
        std::printf("version\tno translation\n");
        return;
    }
    const WORD* pair = static_cast<const WORD*>(value);
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\FileVersion", pair[0], pair[1]);
    const char* text = "";
    if (VerQueryValueA(block, query, &value, &length) && length > 0) {
        text = static_cast<const char*>(value);
    }
    std::printf("version\t%04x%04x\t%s\n", pair[0], pair[1], text);
}

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::printf("module\t%s\n", argv[i]);
        HMODULE module = LoadLibraryExA(argv[i], nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (module == nullptr) {
            std::printf("error\t%lu\n", GetLastError());
            continue;
        }
        PrintStrings(module);
        FreeLibrary(module);
        PrintVersion(argv[i]);
    }
    std::fflush(stdout);
    return 0;
}
