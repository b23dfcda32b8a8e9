// The platform's part of ExclusiveFile::Open.
#pragma once

#include "platform/files/Files.h"

#include <memory>
#include <string>

namespace nv::platform {

// Opens PATH as ExclusiveFile::Open describes; on success FILE holds it and the result is none.
FileCause OpenExclusiveFile(const std::string& path, std::unique_ptr<ExclusiveFile>& file);

} // namespace nv::platform
