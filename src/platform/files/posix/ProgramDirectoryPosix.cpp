#include "platform/files/Files.h"

#include <unistd.h>
#include <vector>

namespace nv::platform {

// The kernel's link /proc/self/exe names the running executable with every link resolved.
// Returns "" when it cannot be read.
std::string GetModuleFileName() {
    std::vector<char> path(256);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<std::size_t>(length) < path.size()) {
            return std::string(path.data(), static_cast<std::size_t>(length));
        }
        if (path.size() >= 1u << 16) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

std::string GetProgramDirectory() {
    const std::string exe = GetModuleFileName();
    const std::size_t slash = exe.rfind(kPathSeparator);
    return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
}

} // namespace nv::platform
