#include "gui/win32/Win32DialogHost.h"

// The system's headers come last: their macros would clash with the program's constants.
#include <windows.h>

namespace nv::gui {

Win32DialogHost::Win32DialogHost(ResourceLibrary& resources, std::wstring cancelText)
    : resources_(resources), cancelText_(std::move(cancelText)) {}

int Win32DialogHost::RunModal(platform::DialogSurface& surface, UINT templateId) {
    return RunModal(surface, templateId, WindowHandlers{});
}

int Win32DialogHost::RunModal(platform::DialogSurface& surface, UINT templateId,
                              WindowHandlers handlers) {
    if (surface.IsEnded()) {
        return surface.GetEndResult();
    }
    DialogWindow window(surface, resources_, std::move(handlers));
    WindowHandle owner = TopHandle();
    windows_.push_back(&window);
    const int result = window.Run(templateId, owner, shown_);
    windows_.pop_back();
    return result;
}

void Win32JobProgress::Pump(bool takeInput) {
    MSG message;
    const UINT filter = takeInput ? 0 : PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | filter)) {
        HWND dialog = busy_ != nullptr ? busy_->Handle() : nullptr;
        if (dialog == nullptr || !IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    lastPump_ = GetTickCount();
}

void Win32JobProgress::Started(std::uint64_t totalBytes) {
    busy_ = host_.TopWindow();
    if (busy_ == nullptr) {
        return;
    }
    busy_->BeginBusy(totalBytes, host_.CancelText());
    Pump(true);
}

void Win32JobProgress::Advanced(std::uint64_t sentBytes) {
    if (busy_ == nullptr) {
        return;
    }
    busy_->ShowProgress(sentBytes);
    if (GetTickCount() - lastPump_ >= 50) {
        Pump(true);
    }
}

bool Win32JobProgress::CancelRequested() {
    if (busy_ == nullptr) {
        return false;
    }
    if (GetTickCount() - lastPump_ >= 50) {
        Pump(true);
    }
    return busy_ != nullptr && busy_->JobCancelRequested();
}

void Win32JobProgress::Finished() {
    if (busy_ == nullptr) {
        return;
    }
    busy_->EndBusy();
    busy_ = nullptr;
    // The window is drawn again, but takes no input before the job's handler has returned.
    Pump(false);
}

} // namespace nv::gui
