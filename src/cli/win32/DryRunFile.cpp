// The dry run's output on Windows: a disk file is written through a temporary file of
// unpredictable name created exclusively beside it and moved over it at the end, so the file
// only ever holds a whole job; a character device or a pipe takes the bytes directly.
#include "cli/DryRunFile.h"

#include "cli/DryRunSpooler.h"
#include "platform/files/win32/UniqueHandle.h"
#include "platform/text/win32/WideText.h"

#include <cstdio>
#include <optional>
#include <random>
#include <windows.h>

namespace nv::cli {

namespace {

enum class Kind { replace, stream, refused };

struct Destination {
    Kind kind = Kind::refused;
    std::wstring target; // replace: the disk file to move over, or the name of a new one
    DryRunProblem why;   // refused
};

using Handle = platform::UniqueHandle;

// Opens PATH only to look at it: any sharing, no data access.
Handle OpenToLook(const std::wstring& path) {
    return Handle(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// Whether the files at A and B are one file (same volume, same file index).
bool SameFile(const std::wstring& a, const std::wstring& b) {
    const Handle first = OpenToLook(a);
    const Handle second = OpenToLook(b);
    BY_HANDLE_FILE_INFORMATION x{};
    BY_HANDLE_FILE_INFORMATION y{};
    return first.Valid() && second.Valid() && ::GetFileInformationByHandle(first.Get(), &x) &&
           ::GetFileInformationByHandle(second.Get(), &y) &&
           x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
           x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash == 0 ? 1 : slash);
}

Destination Examine(const std::string& path, const std::string& inputPath) {
    Destination dest;
    const std::optional<std::wstring> wide = platform::WideFromUtf8(path);
    if (!wide || wide->empty()) {
        dest.why.reason = DryRunRefusal::badName;
        return dest;
    }
    const Handle file = OpenToLook(*wide);
    if (!file.Valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            dest.kind = Kind::replace;
            dest.target = *wide;
            return dest;
        }
        dest.why = error == ERROR_PATH_NOT_FOUND ? DryRunProblem{DryRunRefusal::noFolder}
                                                 : DryRunProblem{DryRunRefusal::system, error};
        return dest;
    }
    const std::optional<std::wstring> input = platform::WideFromUtf8(inputPath);
    if (input && !input->empty() && SameFile(*wide, *input)) {
        dest.why.reason = DryRunRefusal::input;
        return dest;
    }
    const DWORD type = ::GetFileType(file.Get());
    if (type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE) {
        dest.kind = Kind::stream;
        return dest;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (type != FILE_TYPE_DISK || !::GetFileInformationByHandle(file.Get(), &info)) {
        dest.why.reason = DryRunRefusal::notFileDeviceOrPipe;
        return dest;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        dest.why.reason = DryRunRefusal::folder;
        return dest;
    }
    dest.kind = Kind::replace;
    dest.target = *wide;
    return dest;
}

class Win32DryRunFile final : public DryRunFile {
public:
    // FILE is the open temporary file TEMPPATH (moved over TARGET at the end), or, with
    // TEMPPATH empty, the device or pipe itself. INPUTPATH names the file never replaced.
    Win32DryRunFile(HANDLE file, std::wstring target, std::wstring tempPath, std::wstring inputPath)
        : file_(file), target_(std::move(target)), tempPath_(std::move(tempPath)),
          inputPath_(std::move(inputPath)) {}

    std::size_t Write(const char* data, std::size_t size) override {
        ::DWORD n = 0;
        const auto chunk = static_cast<::DWORD>(size);
        return ::WriteFile(file_.Get(), data, chunk, &n, nullptr) ? n : 0;
    }

    bool Close() override {
        const bool flushed =
            !file_.Valid() || tempPath_.empty() || ::FlushFileBuffers(file_.Get()) != 0;
        return file_.Close() && flushed;
    }
    bool HasTemporary() const override { return !tempPath_.empty(); }
    bool ReplaceTarget() override {
        return MayReplaceTarget() &&
               ::MoveFileExW(tempPath_.c_str(), target_.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    void RemoveTemporary() override { ::DeleteFileW(tempPath_.c_str()); }

private:
    // Whether the target is still a disk file other than the input, or absent: something else
    // put there while the job was written is not replaced.
    bool MayReplaceTarget() const {
        const Handle target = OpenToLook(target_);
        if (!target.Valid()) {
            return ::GetLastError() == ERROR_FILE_NOT_FOUND;
        }
        BY_HANDLE_FILE_INFORMATION info{};
        return ::GetFileType(target.Get()) == FILE_TYPE_DISK &&
               ::GetFileInformationByHandle(target.Get(), &info) &&
               (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
               (inputPath_.empty() || !SameFile(target_, inputPath_));
    }

    Handle file_;
    std::wstring target_;
    std::wstring tempPath_;
    std::wstring inputPath_;
};

} // namespace

DryRunProblem DryRunFileProblem(const std::string& path, const std::string& inputPath) {
    return Examine(path, inputPath).why;
}

std::unique_ptr<DryRunFile> OpenDryRunFile(const std::string& path, const std::string& inputPath,
                                           DryRunOpenProblem* problem) {
    DryRunOpenProblem ignored = DryRunOpenProblem::none;
    DryRunOpenProblem& why = problem != nullptr ? *problem : ignored;
    why = DryRunOpenProblem::other;
    const Destination dest = Examine(path, inputPath);
    const std::wstring input = platform::WideFromUtf8(inputPath).value_or(std::wstring());
    if (dest.kind == Kind::refused) {
        return nullptr;
    }
    if (dest.kind == Kind::stream) {
        const std::wstring wide = platform::WideFromUtf8(path).value_or(std::wstring());
        HANDLE stream = ::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (stream == INVALID_HANDLE_VALUE) {
            why = DryRunOpenProblem::device;
            return nullptr;
        }
        why = DryRunOpenProblem::none;
        return std::make_unique<Win32DryRunFile>(stream, wide, std::wstring(), input);
    }
    // The temporary file lies in the target's folder, so the move never crosses volumes; its
    // name is random and it is created only where nothing stands yet.
    const std::wstring base = dest.target.substr(dest.target.find_last_of(L"\\/") + 1);
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        wchar_t suffix[16];
        std::swprintf(suffix, 16, L"%08x", static_cast<unsigned>(random()));
        std::wstring temp = FolderOf(dest.target) + L"\\." + base + L".part-" + suffix;
        HANDLE file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            why = DryRunOpenProblem::none;
            return std::make_unique<Win32DryRunFile>(file, dest.target, std::move(temp), input);
        }
        const DWORD error = ::GetLastError();
        if (error == ERROR_PATH_NOT_FOUND || error == ERROR_ACCESS_DENIED ||
            error == ERROR_WRITE_PROTECT) {
            why = DryRunOpenProblem::folder;
        }
        if (error != ERROR_FILE_EXISTS) {
            return nullptr;
        }
    }
    return nullptr;
}

} // namespace nv::cli
