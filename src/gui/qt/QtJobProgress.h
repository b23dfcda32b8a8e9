// Job progress shown in the dialog that is open: a progress bar repainted as chunks go out
// (at most every 50 ms), with the dialog's input blocked from Started to Finished except for
// the request to stop the job, which CancelRequested reports back to the job.
#pragma once

#include "platform/ui/JobProgress.h"

#include <QElapsedTimer>
#include <functional>

namespace nv::gui {

class DialogView;

class QtJobProgress final : public platform::IJobProgress {
public:
    // VIEW gives the dialog to draw in, or null when none is open.
    explicit QtJobProgress(std::function<DialogView*()> view) : view_(std::move(view)) {}

    void Started(std::uint64_t totalBytes) override;
    void Advanced(std::uint64_t sentBytes) override;
    void Finished() override;

    // Handles the window's pending events (at most every 50 ms) and says whether the user asked
    // to stop the job shown. False while no job is shown.
    bool CancelRequested();

private:
    // Repaints, and with TAKEINPUT handles the user's input too: the busy window takes none but
    // the request to stop the job, so no handler of the dialog runs while the job is sending.
    static void Repaint(bool takeInput);

    std::function<DialogView*()> view_;
    DialogView* busy_ = nullptr;
    QElapsedTimer sinceRepaint_;
};

} // namespace nv::gui
