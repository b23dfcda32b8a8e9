#include "JobReport.h"

#include <cstdio>

namespace nv::vprinter {

namespace {

// Length of the valid UTF-8 sequence at TEXT[I], or 0 when the bytes there are not one.
std::size_t Utf8Length(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned minimum = 0;
    unsigned value = 0;
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

void AppendEscape(std::string& out, unsigned value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", value);
    out += buffer;
}

void AppendLines(std::string& out, const char* name, const std::vector<std::string>& lines) {
    out += "  \"";
    out += name;
    out += "\": [";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += i == 0 ? "\n    " : ",\n    ";
        AppendJsonString(out, lines[i]);
    }
    out += lines.empty() ? "],\n" : "\n  ],\n";
}

} // namespace

void AppendJsonString(std::string& out, const std::string& text) {
    out.push_back('"');
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            AppendEscape(out, c);
            ++i;
        } else if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
        } else if (const std::size_t length = Utf8Length(text, i)) {
            out.append(text, i, length);
            i += length;
        } else {
            AppendEscape(out, c);
            ++i;
        }
    }
    out.push_back('"');
}

std::string JobReportJson(int job, const PjlReport& report, const std::string& sha256,
                          const std::string& documentFile) {
    std::string out = "{\n";
    out += "  \"job\": " + std::to_string(job) + ",\n";
    out += "  \"total_bytes\": " + std::to_string(report.totalBytes) + ",\n";
    AppendLines(out, "header", report.header);
    out += "  \"language\": ";
    AppendJsonString(out, report.language);
    out += ",\n  \"document_file\": ";
    AppendJsonString(out, documentFile);
    out += ",\n  \"document_bytes\": " + std::to_string(report.documentBytes) + ",\n";
    out += "  \"document_sha256\": \"" + sha256 + "\",\n";
    out +=
        std::string("  \"document_is_pdf\": ") + (report.documentIsPdf ? "true" : "false") + ",\n";
    AppendLines(out, "trailer", report.trailer);
    out += std::string("  \"ends_with_uel\": ") + (report.endsWithUel ? "true" : "false") + ",\n";
    out += "  \"fault_count\": " + std::to_string(report.faultCount) + ",\n";
    out += "  \"faults\": [";
    for (std::size_t i = 0; i < report.faults.size(); ++i) {
        out += i == 0 ? "\n    " : ",\n    ";
        AppendJsonString(out, report.faults[i]);
    }
    out += report.faults.empty() ? "]\n" : "\n  ]\n";
    out += "}\n";
    return out;
}

} // namespace nv::vprinter
