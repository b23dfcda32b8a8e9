#include "platform/spooler/posix/DriverDirectory.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace nv::platform {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxDependentFiles = 4096;
constexpr std::size_t kMaxScanned = 16 * kMaxDependentFiles;
constexpr const char* kSubdirectory = "velmora-quillet/drivers";

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

bool IsDirectory(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

std::string Trimmed(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

} // namespace

std::optional<std::string> FindDriverDirectory() {
    const std::string overridden = Env("NORVANE_DRIVER_DIR");
    if (IsDirectory(overridden)) {
        return Trimmed(overridden);
    }

    std::string userData = Env("XDG_DATA_HOME");
    if (userData.empty() || userData.front() != '/') {
        const std::string home = Env("HOME");
        userData = home.empty() ? std::string() : home + "/.local/share";
    }
    if (!userData.empty()) {
        const std::string candidate = Trimmed(userData) + "/" + kSubdirectory;
        if (IsDirectory(candidate)) {
            return candidate;
        }
    }

    std::string systemData = Env("XDG_DATA_DIRS");
    if (systemData.empty()) {
        systemData = "/usr/local/share:/usr/share";
    }
    std::size_t start = 0;
    while (start <= systemData.size()) {
        std::size_t end = systemData.find(':', start);
        if (end == std::string::npos) {
            end = systemData.size();
        }
        const std::string entry = systemData.substr(start, end - start);
        if (!entry.empty() && entry.front() == '/') {
            const std::string candidate = Trimmed(entry) + "/" + kSubdirectory;
            if (IsDirectory(candidate)) {
                return candidate;
            }
        }
        start = end + 1;
    }
    return std::nullopt;
}

BOOL ReadDriverRecord(const CString& driverName, DriverInfo* info) {
    return DriverDirectoryCache().Read(driverName, info);
}

BOOL DriverDirectoryCache::Read(const CString& driverName, DriverInfo* info) {
    if (!scanned_) {
        scanned_ = true;
        const std::optional<std::string> dir = FindDriverDirectory();
        if (dir) {
            std::error_code ec;
            for (fs::directory_iterator it(*dir, ec), end; !ec && it != end; it.increment(ec)) {
                std::error_code typeError;
                if (it->is_regular_file(typeError)) {
                    names_.push_back(it->path().filename().string());
                    if (names_.size() >= kMaxScanned) {
                        break;
                    }
                }
            }
            std::sort(names_.begin(), names_.end());
            if (names_.size() > kMaxDependentFiles) {
                names_.resize(kMaxDependentFiles);
            }
            prefix_ = *dir == "/" ? std::string("/") : *dir + "/";
        }
    }
    if (!prefix_) {
        return FALSE;
    }
    std::string fileName = driverName;
    std::replace(fileName.begin(), fileName.end(), '/', '_');

    DriverInfo record;
    record.name = driverName;
    record.driverPath = *prefix_ + fileName;
    record.directory = *prefix_;
    record.dependentFiles.reserve(names_.size());
    for (const std::string& name : names_) {
        record.dependentFiles.push_back(*prefix_ + name);
    }
    *info = std::move(record);
    return TRUE;
}

} // namespace nv::platform
