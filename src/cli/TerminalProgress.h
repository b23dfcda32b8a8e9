// Progress of a large job on a terminal: one line on standard error, rewritten in place as the
// job goes out, ended when the job ends. Small jobs show nothing.
#pragma once

#include "cli/CliTexts.h"
#include "platform/ui/JobProgress.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

namespace nv::cli {

// Jobs from this size on show their progress.
inline constexpr std::uint64_t kLargeJobBytes = 8u << 20;

class TerminalProgress final : public platform::IJobProgress {
public:
    // OUT receives the line; LABEL names the job (the PDF's file name, shown escaped); TEXT
    // words the line.
    TerminalProgress(std::FILE* out, std::string_view label, CliTexts text);

    void Started(std::uint64_t totalBytes) override;
    void Advanced(std::uint64_t sentBytes) override;
    void Finished() override;

    // The line shown after SENTBYTES of TOTALBYTES (TOTALBYTES 0: unknown), worded from TEXT.
    static std::string Line(const std::string& label, std::uint64_t sentBytes,
                            std::uint64_t totalBytes, const CliTexts& text);

private:
    std::FILE* out_;
    std::string label_;
    CliTexts text_;
    std::uint64_t total_ = 0;
    bool shown_ = false;
    bool active_ = false;
    std::chrono::steady_clock::time_point lastDrawn_{};
};

} // namespace nv::cli
