// Names of side libraries: what a name from outside may be, and whether a path is absolute.
#include "platform/modules/Modules.h"

namespace nv::platform {

bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\:") == std::string::npos &&
           name.find("..") == std::string::npos;
}

bool IsAbsolutePath(const std::string& path) {
#ifdef _WIN32
    // A drive and a separator, or a leading separator (the root of the current drive, or a
    // server's share): either way the loader takes the path as it is and never searches.
    const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/') &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return drive || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
#else
    return !path.empty() && path[0] == '/';
#endif
}

} // namespace nv::platform
