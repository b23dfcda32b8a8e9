// The summary the virtual printer writes for each job: a JSON object holding the PJL lines of
// header and trailer, the document's size and SHA-256, and every fault found.
#pragma once

#include "PjlStream.h"

#include <string>

namespace nv::vprinter {

// The JSON text of one job's summary. Text is written as UTF-8; bytes that are not valid
// UTF-8 appear as \u00XX escapes (their Latin-1 reading).
std::string JobReportJson(int job, const PjlReport& report, const std::string& sha256,
                          const std::string& documentFile);

// Appends TEXT to OUT as a JSON string literal.
void AppendJsonString(std::string& out, const std::string& text);

} // namespace nv::vprinter
