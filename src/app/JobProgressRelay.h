// Carries the progress of a print attempt to a view of it: the dialog reports each piece of
// the document it has sent; the view wants to know when a job starts, how far it is, and when
// it is over, also when it failed halfway. The relay stands between the dialog and the
// spooler, so the job is over exactly when its document is released, on every path.
#pragma once

#include "platform/spooler/Spooler.h"
#include "platform/ui/JobProgress.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace nv {

class JobProgressRelay {
public:
    // Printers and documents come from SPOOLER; PROGRESS hears of every job sent through
    // Spooler(). Both must outlive the relay.
    JobProgressRelay(platform::ISpooler& spooler, platform::IJobProgress& progress);
    ~JobProgressRelay();
    JobProgressRelay(const JobProgressRelay&) = delete;
    JobProgressRelay& operator=(const JobProgressRelay&) = delete;

    // The spooler to hand to the dialog: SPOOLER, with its documents watched.
    platform::ISpooler& Spooler();
    // The dialog's progress hook: (document bytes sent so far, document length).
    std::function<void(std::uint64_t sent, std::uint64_t total)> Hook();

private:
    class WatchingSpooler;
    class WatchingPrinter;
    class WatchingDocument;

    void Advanced(std::uint64_t sent, std::uint64_t total);
    void DocumentReleased();

    platform::IJobProgress& progress_;
    std::unique_ptr<WatchingSpooler> spooler_;
    bool started_ = false;
};

} // namespace nv
