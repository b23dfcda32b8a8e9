#include "platform/files/Files.h"

#include <unistd.h>
#include <vector>

namespace nv::platform {

// The kernel's link /proc/self/exe names the running executable with every link resolved.
// Returns "" when it cannot be read.
std::string GetProgramDirectory() {
    std::vector<char> path(256);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<std::size_t>(length) < path.size()) {
            const std::string exe(path.data(), static_cast<std::size_t>(length));
            const std::size_t slash = exe.rfind('/');
            return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
        }
        if (path.size() >= 1u << 16) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

} // namespace nv::platform
