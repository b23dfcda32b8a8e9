#include "gui/qt/QtJobProgress.h"

#include "gui/qt/DialogView.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace nv::gui {

void QtJobProgress::Repaint() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtJobProgress::Started(std::uint64_t totalBytes) {
    busy_ = view_ ? view_() : nullptr;
    if (busy_ == nullptr) {
        return;
    }
    busy_->BeginBusy(totalBytes);
    Repaint();
    sinceRepaint_.start();
}

void QtJobProgress::Advanced(std::uint64_t sentBytes) {
    if (busy_ == nullptr) {
        return;
    }
    busy_->ShowProgress(sentBytes);
    if (sinceRepaint_.elapsed() >= 50) {
        Repaint();
        sinceRepaint_.restart();
    }
}

void QtJobProgress::Finished() {
    if (busy_ == nullptr) {
        return;
    }
    busy_->EndBusy();
    busy_ = nullptr;
    Repaint();
}

} // namespace nv::gui
