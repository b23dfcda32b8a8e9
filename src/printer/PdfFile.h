// Reading the first bytes of a PDF that is open exclusively.
#pragma once

#include "platform/files/Files.h"

#include <cstddef>
#include <string>

namespace nv {

// Reads from the current position of FILE until MAXBYTES bytes are read or the file ends, into
// BYTES. Returns false on a read error.
bool ReadLeadingBytes(platform::ExclusiveFile& file, std::size_t maxBytes, std::string& bytes);

} // namespace nv
