#include "JobReport.h"

#include <nlohmann/json.hpp>

namespace nv::vprinter {

namespace {

// Length of the valid UTF-8 sequence at TEXT[I], or 0 when the bytes there are not one.
std::size_t Utf8Length(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned minimum = 0;
    unsigned value = 0;
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, value = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    return length;
}

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
        if (const std::size_t length = Utf8Length(text, i)) {
            out.append(text, i, length);
            i += length;
            continue;
        }
        // A byte of 0x80 or more on its own: two bytes in UTF-8.
        const auto c = static_cast<unsigned char>(text[i++]);
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
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
