#include "platform/registry/posix/FileRegistry.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace nv::platform {
namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The home folder from the account database, for a process started without HOME.
std::string AccountHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* result = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) != 0 ||
        result == nullptr || result->pw_dir == nullptr) {
        return "";
    }
    return result->pw_dir;
}

} // namespace

std::string UserRegistryPath() {
    std::string path = Env("NORVANE_REGISTRY");
    if (!path.empty()) {
        return path;
    }
    std::string config = Env("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') {
        std::string home = Env("HOME");
        if (home.empty()) {
            home = AccountHome();
        }
        if (home.empty()) {
            return "";
        }
        config = home + "/.config";
    }
    return config + "/velmora-quillet/registry.reg";
}

} // namespace nv::platform
