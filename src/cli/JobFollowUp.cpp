#include "cli/JobFollowUp.h"

#include "app/PdfSendApp.h"
#include "cli/TerminalText.h"
#include "resources/ResourceIds.h"

#include <chrono>
#include <thread>

namespace nv::cli {

namespace {

namespace str = res::str;
using platform::FormatArg;
using platform::JobState;

// How often a followed job is asked for.
constexpr auto kJobPoll = std::chrono::milliseconds(250);
// The longest a wait sleeps before it looks for an interrupt.
constexpr auto kInterruptPoll = std::chrono::milliseconds(50);

// A document that notes in *HANDED the job it handed over when it ends.
class HandOverDocument final : public platform::IPrintDocument {
public:
    HandOverDocument(std::unique_ptr<platform::IPrintDocument> real, CString printer,
                     std::shared_ptr<std::optional<HandedJob>> handed)
        : real_(std::move(real)), printer_(std::move(printer)), handed_(std::move(handed)) {}

    DWORD JobId() const override { return real_->JobId(); }
    BOOL WritePrinter(const void* data, DWORD size, DWORD* written) override {
        return real_->WritePrinter(data, size, written);
    }
    BOOL EndDocPrinter() override {
        const BOOL ended = real_->EndDocPrinter();
        if (ended) {
            *handed_ = HandedJob{printer_, real_->JobId(), real_->EndState()};
        }
        return ended;
    }
    BOOL AbortDocPrinter() override { return real_->AbortDocPrinter(); }
    platform::SpoolError LastError() const override { return real_->LastError(); }
    std::optional<JobState> EndState() const override { return real_->EndState(); }

private:
    std::unique_ptr<platform::IPrintDocument> real_;
    CString printer_;
    std::shared_ptr<std::optional<HandedJob>> handed_;
};

class HandOverPrinter final : public platform::IPrinter {
public:
    HandOverPrinter(std::unique_ptr<platform::IPrinter> real, std::optional<int> closeWaitMs,
                    std::shared_ptr<std::optional<HandedJob>> handed)
        : real_(std::move(real)), closeWaitMs_(closeWaitMs), handed_(std::move(handed)) {}

    const CString& Name() const override { return real_->Name(); }
    BOOL GetPrinterDriver(platform::DriverInfo* info) override {
        return real_->GetPrinterDriver(info);
    }
    std::unique_ptr<platform::IPrintDocument>
    StartDocPrinter(const platform::DocInfo& doc) override {
        platform::DocInfo started = doc;
        started.closeWaitMs = closeWaitMs_;
        std::unique_ptr<platform::IPrintDocument> real = real_->StartDocPrinter(started);
        if (!real) {
            return nullptr;
        }
        return std::make_unique<HandOverDocument>(std::move(real), real_->Name(), handed_);
    }
    platform::SpoolError LastError() const override { return real_->LastError(); }

private:
    std::unique_ptr<platform::IPrinter> real_;
    std::optional<int> closeWaitMs_;
    std::shared_ptr<std::optional<HandedJob>> handed_;
};

std::string Safe(const CString& text) {
    return TerminalSafe(text);
}

UINT WordOf(JobState state) {
    return str::kJobPending + static_cast<UINT>(state);
}

bool Ended(JobState state) {
    return state == JobState::completed || state == JobState::cancelled ||
           state == JobState::aborted;
}

void WriteLine(std::FILE* to, const std::string& line) {
    std::fprintf(to, "%s\n", line.c_str());
    std::fflush(to);
}

// Sleeps for SPAN, or until an interrupt; false when one came.
bool Sleep(const FollowUp& to, std::chrono::milliseconds span) {
    const auto end = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < end) {
        if (to.interrupted()) {
            return false;
        }
        std::this_thread::sleep_for(kInterruptPoll);
    }
    return !to.interrupted();
}

// A scheduler's job followed until it ends, the time runs out or an interrupt comes.
CliStatus FollowQueuedJob(const FollowUp& to, const CliOptions& options, const HandedJob& job) {
    const auto start = std::chrono::steady_clock::now();
    std::optional<JobState> shown;
    for (;;) {
        const std::optional<JobState> state = to.spooler.GetJobState(job.printer, job.jobId);
        if (state && state != shown) {
            shown = state;
            const std::string word = to.texts.LoadText(WordOf(*state));
            WriteLine(to.out, FormatResourceText(
                                  to.texts, str::kJobStateLine,
                                  {FormatArg::UInt(job.jobId), FormatArg::Text(word.c_str())}));
        }
        if (state && Ended(*state)) {
            return *state == JobState::completed ? kStatusPrinted : kStatusNotSent;
        }
        const auto waited = std::chrono::steady_clock::now() - start;
        if (options.waitSeconds && waited >= std::chrono::seconds(*options.waitSeconds)) {
            const std::string word = to.texts.LoadText(WordOf(shown.value_or(JobState::pending)));
            WriteLine(to.err, FormatResourceText(to.texts, str::kWaitRanOut,
                                                 {FormatArg::UInt(*options.waitSeconds),
                                                  FormatArg::UInt(job.jobId),
                                                  FormatArg::Text(word.c_str())}));
            return kStatusStillHeld;
        }
        auto pause = std::chrono::duration_cast<std::chrono::milliseconds>(kJobPoll);
        if (options.waitSeconds) {
            const auto left = std::chrono::seconds(*options.waitSeconds) - waited;
            pause = std::min(pause, std::chrono::duration_cast<std::chrono::milliseconds>(left) +
                                        std::chrono::milliseconds(1));
        }
        if (!Sleep(to, pause)) {
            const std::string printer = Safe(job.printer);
            WriteLine(to.err, FormatResourceText(
                                  to.texts, str::kWaitInterrupted,
                                  {FormatArg::UInt(job.jobId), FormatArg::Text(printer.c_str())}));
            return kStatusStillHeld;
        }
    }
}

} // namespace

HandOverSpooler::HandOverSpooler(platform::ISpooler& real, std::optional<int> closeWaitMs)
    : ForwardingSpooler(real), closeWaitMs_(closeWaitMs),
      handed_(std::make_shared<std::optional<HandedJob>>()) {}

HandOverSpooler::~HandOverSpooler() = default;

std::unique_ptr<platform::IPrinter> HandOverSpooler::OpenPrinter(const CString& name) {
    lastOpened_ = name;
    std::unique_ptr<platform::IPrinter> real = real_.OpenPrinter(name);
    if (!real) {
        return nullptr;
    }
    return std::make_unique<HandOverPrinter>(std::move(real), closeWaitMs_, handed_);
}

const std::optional<HandedJob>& HandOverSpooler::Handed() const {
    return *handed_;
}

std::string FormatResourceText(const platform::ResourceModule& texts, UINT id,
                               std::initializer_list<FormatArg> args) {
    const std::string format = texts.LoadText(id);
    char line[1024];
    platform::wsprintfA(line, sizeof line, format.c_str(), args);
    return line;
}

CliStatus ReportHandedJob(const FollowUp& to, const CliOptions& options, const HandedJob& job) {
    const std::string printer = Safe(job.printer);
    if (!options.quiet) {
        const std::string document = Safe(FileNameOf(options.pdfPath));
        WriteLine(to.out, job.jobId != 0 ? FormatResourceText(to.texts, str::kJobSentWithId,
                                                              {FormatArg::Text(document.c_str()),
                                                               FormatArg::Text(printer.c_str()),
                                                               FormatArg::UInt(job.jobId)})
                                         : FormatResourceText(to.texts, str::kJobSent,
                                                              {FormatArg::Text(document.c_str()),
                                                               FormatArg::Text(printer.c_str())}));
    }
    const std::optional<platform::QueueStatus> queue = to.spooler.GetQueueStatus(job.printer);
    if (queue && queue->state == platform::QueueState::paused) {
        WriteLine(to.err, FormatResourceText(to.texts, str::kQueuedOnPausedQueue,
                                             {FormatArg::Text(printer.c_str())}));
    }
    if (!options.wait) {
        return kStatusPrinted;
    }
    if (job.endState) {
        // A socket printer: ending the document waited for it to close its side.
        if (*job.endState == JobState::completed) {
            WriteLine(to.out, FormatResourceText(to.texts, str::kPrinterClosed,
                                                 {FormatArg::Text(printer.c_str())}));
            return kStatusPrinted;
        }
        if (to.interrupted()) {
            WriteLine(to.err, FormatResourceText(to.texts, str::kWaitInterruptedNoId,
                                                 {FormatArg::Text(printer.c_str())}));
        } else {
            WriteLine(to.err,
                      FormatResourceText(to.texts, str::kPrinterNotClosed,
                                         {FormatArg::Text(printer.c_str()),
                                          FormatArg::UInt(options.waitSeconds.value_or(0))}));
        }
        return kStatusStillHeld;
    }
    if (job.jobId == 0) {
        return kStatusPrinted; // a file printer: the document is written whole
    }
    return FollowQueuedJob(to, options, job);
}

void ReportRefusingQueue(const FollowUp& to, const CString& printer) {
    const std::optional<platform::QueueStatus> queue = to.spooler.GetQueueStatus(printer);
    if (queue && !queue->accepting) {
        const std::string name = Safe(printer);
        WriteLine(to.err, FormatResourceText(to.texts, str::kQueueNotAccepting,
                                             {FormatArg::Text(name.c_str())}));
    }
}

} // namespace nv::cli
