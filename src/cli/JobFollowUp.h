// What becomes of a job once the dialog handed it over: the line saying where it went, a queue
// that will not print it yet, and (--wait) the job followed to its end.
#pragma once

#include "cli/CliOptions.h"
#include "cli/ForwardingSpooler.h"
#include "platform/format/Format.h"
#include "platform/modules/Modules.h"
#include "platform/spooler/Spooler.h"

#include <cstdio>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

namespace nv::cli {

// The job a document handed over in full.
struct HandedJob {
    CString printer;
    DWORD jobId = 0;                            // the spooler's job number; 0 when it has none
    std::optional<platform::JobState> endState; // IPrintDocument::EndState at the end
};

// A spooler that passes everything to another one and notes the job its documents hand over
// and the last printer opened. With CLOSEWAITMS, documents wait that long for a socket printer
// to close its side when they end.
class HandOverSpooler final : public ForwardingSpooler {
public:
    HandOverSpooler(platform::ISpooler& real, std::optional<int> closeWaitMs);
    ~HandOverSpooler() override;

    std::unique_ptr<platform::IPrinter> OpenPrinter(const CString& name) override;

    // The job handed over last, or none.
    const std::optional<HandedJob>& Handed() const;
    // The printer opened last (empty when none was).
    const CString& LastOpened() const { return lastOpened_; }

private:
    std::optional<int> closeWaitMs_;
    std::shared_ptr<std::optional<HandedJob>> handed_;
    CString lastOpened_;
};

// A resource text formatted with ARGS (the arguments the text's conversions take).
std::string FormatResourceText(const platform::ResourceModule& texts, UINT id,
                               std::initializer_list<platform::FormatArg> args);

// What a follow-up writes and asks.
struct FollowUp {
    const platform::ResourceModule& texts;
    platform::ISpooler& spooler;
    std::FILE* out; // the line saying where the job went, and the job's states
    std::FILE* err; // a queue that will not print the job
    std::function<bool()> interrupted;
};

// After a run that handed JOB over: the line saying where it went (unless OPTIONS.quiet), the
// line for a paused queue and, with --wait, the job followed to its end. Returns the run's
// status: kStatusPrinted, or with --wait kStatusNotSent (aborted or cancelled) or
// kStatusStillHeld (the time ran out or the wait was interrupted).
CliStatus ReportHandedJob(const FollowUp& to, const CliOptions& options, const HandedJob& job);

// After a run that did not hand its job over: says so when the printer PRINTER is a queue that
// does not accept jobs.
void ReportRefusingQueue(const FollowUp& to, const CString& printer);

} // namespace nv::cli
