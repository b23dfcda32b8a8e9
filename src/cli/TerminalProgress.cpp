#include "cli/TerminalProgress.h"

#include "cli/TerminalText.h"

#include <cinttypes>

namespace nv::cli {

namespace {

// The line is redrawn at most this often.
constexpr std::chrono::milliseconds kRedrawInterval{100};

} // namespace

TerminalProgress::TerminalProgress(std::FILE* out, std::string_view label)
    : out_(out), label_(TerminalSafe(label)) {}

std::string TerminalProgress::Line(const std::string& label, std::uint64_t sentBytes,
                                   std::uint64_t totalBytes) {
    constexpr double kMiB = 1024.0 * 1024.0;
    char text[128];
    if (totalBytes == 0) {
        std::snprintf(text, sizeof text, ": %.1f MiB sent", static_cast<double>(sentBytes) / kMiB);
    } else {
        const std::uint64_t sent = sentBytes < totalBytes ? sentBytes : totalBytes;
        const unsigned percent = static_cast<unsigned>(sent * 100 / totalBytes);
        std::snprintf(text, sizeof text, ": %3u%% (%.1f of %.1f MiB)", percent,
                      static_cast<double>(sent) / kMiB, static_cast<double>(totalBytes) / kMiB);
    }
    return label + text;
}

void TerminalProgress::Started(std::uint64_t totalBytes) {
    total_ = totalBytes;
    active_ = totalBytes >= kLargeJobBytes;
    shown_ = false;
    if (active_) {
        Advanced(0);
    }
}

void TerminalProgress::Advanced(std::uint64_t sentBytes) {
    if (!active_) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (shown_ && now - lastDrawn_ < kRedrawInterval && sentBytes < total_) {
        return;
    }
    lastDrawn_ = now;
    shown_ = true;
    std::fprintf(out_, "\r%s\x1b[K", Line(label_, sentBytes, total_).c_str());
    std::fflush(out_);
}

void TerminalProgress::Finished() {
    if (shown_) {
        std::fputc('\n', out_);
        std::fflush(out_);
    }
    active_ = false;
    shown_ = false;
}

} // namespace nv::cli
