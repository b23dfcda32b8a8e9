#include "JobReport.h"

#include "platform/text/Utf8.h"

#include <nlohmann/json.hpp>

namespace nv::vprinter {

namespace {

nlohmann::ordered_json Lines(const std::vector<std::string>& lines) {
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (const std::string& line : lines) {
        array.push_back(ValidUtf8(line));
    }
    return array;
}

} // namespace

std::string ValidUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (const std::size_t length = platform::text::Utf8SequenceLength(text, i)) {
            out.append(text, i, length);
            i += length;
            continue;
        }
        // A byte of 0x80 or more on its own, read as Latin-1.
        platform::text::AppendUtf8(out, static_cast<unsigned char>(text[i++]));
    }
    return out;
}

std::string JobReportJson(int job, const PjlReport& report, const std::string& sha256,
                          const std::string& documentFile) {
    // Members keep this order in the file: readers and people look for them in it.
    nlohmann::ordered_json summary;
    summary["job"] = job;
    summary["total_bytes"] = report.totalBytes;
    summary["header"] = Lines(report.header);
    summary["language"] = ValidUtf8(report.language);
    summary["document_file"] = ValidUtf8(documentFile);
    summary["document_bytes"] = report.documentBytes;
    summary["document_sha256"] = ValidUtf8(sha256);
    summary["document_is_pdf"] = report.documentIsPdf;
    summary["trailer"] = Lines(report.trailer);
    summary["ends_with_uel"] = report.endsWithUel;
    summary["fault_count"] = report.faultCount;
    summary["faults"] = Lines(report.faults);
    return summary.dump(2) + "\n";
}

} // namespace nv::vprinter
