// Job progress shown in the dialog that is open: a progress bar repainted as chunks go out
// (at most every 50 ms), with the dialog's input blocked from Started to Finished.
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

private:
    // Repaints without taking user input, so that no handler runs while the job is sending.
    static void Repaint();

    std::function<DialogView*()> view_;
    DialogView* busy_ = nullptr;
    QElapsedTimer sinceRepaint_;
};

} // namespace nv::gui
