// The exclusive open on Windows: CreateFile with no sharing at all, so the open fails while any
// other handle on the file is open (ERROR_SHARING_VIOLATION) and keeps every later open out
// while it lasts. The UTF-8 path is converted to UTF-16 for the wide call, so a file name in
// any script opens whatever the active code page is.
#include "platform/files/BufferedFile.h"
#include "platform/files/OpenExclusiveFile.h"
#include "platform/files/win32/UniqueHandle.h"
#include "platform/text/win32/WideText.h"

#include <windows.h>

namespace nv::platform {
namespace {

class Win32ExclusiveFile final : public BufferedFile {
public:
    explicit Win32ExclusiveFile(HANDLE handle) : handle_(handle) {}

    std::int64_t Length() const override {
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(handle_.Get(), &size)) {
            return -1;
        }
        return size.QuadPart;
    }

protected:
    std::int64_t ReadRaw(void* buffer, std::size_t size) override {
        // One ReadFile takes at most a DWORD; the buffered reader asks for little anyway.
        const DWORD ask = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD got = 0;
        if (!ReadFile(handle_.Get(), buffer, ask, &got, nullptr)) {
            return -1;
        }
        return static_cast<std::int64_t>(got);
    }

private:
    UniqueHandle handle_;
};

FileCause FileCauseFromError(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return FileCause::fileNotFound;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
        return FileCause::badPath;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return FileCause::accessDenied;
    case ERROR_TOO_MANY_OPEN_FILES:
        return FileCause::tooManyOpenFiles;
    case ERROR_SHARING_VIOLATION:
        return FileCause::sharingViolation;
    case ERROR_LOCK_VIOLATION:
        return FileCause::lockViolation;
    case ERROR_HANDLE_EOF:
        return FileCause::endOfFile;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
        return FileCause::hardIO;
    default:
        return FileCause::generic;
    }
}

} // namespace

FileCause OpenExclusiveFile(const std::string& path, std::unique_ptr<ExclusiveFile>& file) {
    if (path.empty()) {
        return FileCause::badPath;
    }
    const std::optional<std::wstring> wide = WideFromUtf8(path);
    if (!wide) {
        return FileCause::badPath;
    }
    // FILE_FLAG_BACKUP_SEMANTICS is left out, so a folder fails with access denied.
    HANDLE raw = CreateFileW(wide->c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (raw == INVALID_HANDLE_VALUE) {
        return FileCauseFromError(GetLastError());
    }
    auto opened = std::make_unique<Win32ExclusiveFile>(raw);
    // Only files on disk: a console, pipe or device is not a document.
    if (GetFileType(raw) != FILE_TYPE_DISK) {
        return FileCause::accessDenied;
    }
    file = std::move(opened);
    return FileCause::none;
}

} // namespace nv::platform
