// Runs dialog surfaces as real dialog windows made from the resource library's templates: the
// open dialog owns message boxes and the next dialog, and shows job progress. This is what the
// window program hands to its dialogs on Windows.
#pragma once

#include "gui/win32/DialogWindow.h"
#include "gui/win32/Handles.h"
#include "gui/win32/ResourceLibrary.h"
#include "platform/ui/JobProgress.h"
#include "platform/ui/ModalHost.h"

#include <functional>
#include <string>
#include <vector>
namespace nv::gui {

class Win32DialogHost;

// The progress of long jobs, shown in the dialog open on top; while it is shown, the host's
// message loop keeps the window drawn and takes a request to stop the job.
class Win32JobProgress final : public platform::IJobProgress {
public:
    explicit Win32JobProgress(Win32DialogHost& host) : host_(host) {}
    void Started(std::uint64_t totalBytes) override;
    void Advanced(std::uint64_t sentBytes) override;
    void Finished() override;
    // Whether the user asked to stop the job being sent (pumps the window's messages first).
    bool CancelRequested();

private:
    void Pump(bool takeInput);

    Win32DialogHost& host_;
    DialogWindow* busy_ = nullptr;
    unsigned long lastPump_ = 0;
};

class Win32DialogHost final : public platform::IModalHost {
public:
    // RESOURCES is the resource library opened by the system (templates and icons); CANCELTEXT
    // the text of the Cancel button shown while a job is sent.
    Win32DialogHost(ResourceLibrary& resources, std::wstring cancelText);

    int RunModal(platform::DialogSurface& surface, UINT templateId) override;
    int RunModal(platform::DialogSurface& surface, UINT templateId, WindowHandlers handlers);

    // Called with each dialog window once it is up, inside its modal loop (tests).
    void SetShownHook(std::function<void(WindowHandle)> shown) { shown_ = std::move(shown); }

    // The dialog open on top, or null.
    DialogWindow* TopWindow() const { return windows_.empty() ? nullptr : windows_.back(); }
    WindowHandle TopHandle() const {
        return TopWindow() != nullptr ? TopWindow()->Handle() : nullptr;
    }
    Win32JobProgress& Progress() { return progress_; }
    const std::wstring& CancelText() const { return cancelText_; }

private:
    ResourceLibrary& resources_;
    std::wstring cancelText_;
    std::function<void(WindowHandle)> shown_;
    std::vector<DialogWindow*> windows_;
    Win32JobProgress progress_{*this};
};

} // namespace nv::gui
