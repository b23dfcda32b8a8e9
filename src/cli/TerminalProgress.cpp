#include "cli/TerminalProgress.h"

#include "cli/TerminalText.h"

#include <cinttypes>

namespace nv::cli {

namespace {

// The line is redrawn at most this often.
constexpr std::chrono::milliseconds kRedrawInterval{100};

} // namespace

TerminalProgress::TerminalProgress(std::FILE* out, std::string_view label, CliTexts text)
    : out_(out), label_(TerminalSafe(label)), text_(text) {}

namespace {

// BYTES in MiB with one decimal.
std::string Mebibytes(std::uint64_t bytes) {
    char number[32];
    std::snprintf(number, sizeof number, "%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return number;
}

} // namespace

std::string TerminalProgress::Line(const std::string& label, std::uint64_t sentBytes,
                                   std::uint64_t totalBytes, const CliTexts& text) {
    if (totalBytes == 0) {
        return label + text(res::str::kCliProgressSent, {Mebibytes(sentBytes)});
    }
    const std::uint64_t sent = sentBytes < totalBytes ? sentBytes : totalBytes;
    char percent[8];
    std::snprintf(percent, sizeof percent, "%3u", static_cast<unsigned>(sent * 100 / totalBytes));
    return label +
           text(res::str::kCliProgressShare, {percent, Mebibytes(sent), Mebibytes(totalBytes)});
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
    std::fprintf(out_, "\r%s\x1b[K", Line(label_, sentBytes, total_, text_).c_str());
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
