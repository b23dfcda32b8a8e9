#include "platform/files/OpenExclusiveFile.h"

namespace nv::platform {

std::unique_ptr<ExclusiveFile> ExclusiveFile::Open(const std::string& path, FileCause* cause) {
    std::unique_ptr<ExclusiveFile> file;
    const FileCause why = OpenExclusiveFile(path, file);
    if (cause != nullptr) {
        *cause = why;
    }
    return file;
}

} // namespace nv::platform
