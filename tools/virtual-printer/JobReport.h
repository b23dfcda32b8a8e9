// The summary the virtual printer writes for each job: a JSON object holding the PJL lines of
// header and trailer, the document's size and SHA-256, and every fault found.
#pragma once

#include "PjlStream.h"

#include <string>

namespace nv::vprinter {

// The JSON text of one job's summary. Text is written as UTF-8; bytes that are not valid
// UTF-8 are read as Latin-1, so every byte stays visible and the file is always valid JSON.
std::string JobReportJson(int job, const PjlReport& report, const std::string& sha256,
                          const std::string& documentFile);

// TEXT with every byte that is not part of a valid UTF-8 sequence replaced by the UTF-8 form
// of its Latin-1 reading (U+0080 to U+00FF).
std::string ValidUtf8(const std::string& text);

} // namespace nv::vprinter
