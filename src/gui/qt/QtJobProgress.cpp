#include "gui/qt/QtJobProgress.h"

#include "gui/qt/DialogView.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace nv::gui {

void QtJobProgress::Repaint(bool takeInput) {
    QCoreApplication::processEvents(takeInput ? QEventLoop::AllEvents
                                              : QEventLoop::ExcludeUserInputEvents);
}

void QtJobProgress::Started(std::uint64_t totalBytes) {
    busy_ = view_ ? view_() : nullptr;
    if (busy_ == nullptr) {
        return;
    }
    busy_->BeginBusy(totalBytes);
    Repaint(true);
    sinceRepaint_.start();
}

void QtJobProgress::Advanced(std::uint64_t sentBytes) {
    if (busy_ == nullptr) {
        return;
    }
    busy_->ShowProgress(sentBytes);
    if (sinceRepaint_.elapsed() >= 50) {
        Repaint(true);
        sinceRepaint_.restart();
    }
}

bool QtJobProgress::CancelRequested() {
    if (busy_ == nullptr) {
        return false;
    }
    if (sinceRepaint_.elapsed() >= 50) {
        Repaint(true);
        sinceRepaint_.restart();
    }
    return busy_ != nullptr && busy_->JobCancelRequested();
}

void QtJobProgress::Finished() {
    if (busy_ == nullptr) {
        return;
    }
    busy_->EndBusy();
    busy_ = nullptr;
    // The window takes input again, but not before the job's handler has returned.
    Repaint(false);
}

} // namespace nv::gui
