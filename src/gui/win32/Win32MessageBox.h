// Message boxes drawn by the system (MessageBoxW, the UTF-8 texts converted at the call), owned
// by the dialog open on top when the program asks for an owned box.
#pragma once

#include "gui/win32/Handles.h"
#include "platform/ui/MessageBox.h"

#include <functional>

namespace nv::gui {

class Win32MessageBox final : public platform::IMessageBox {
public:
    // OWNER gives the window that owns the boxes the program asks to be owned (null: none).
    explicit Win32MessageBox(std::function<WindowHandle()> owner = {}) : owner_(std::move(owner)) {}
    void SetOwner(std::function<WindowHandle()> owner) { owner_ = std::move(owner); }
    int Show(const CString& text, const CString& caption, UINT flags, bool owned) override;

private:
    std::function<WindowHandle()> owner_;
};

} // namespace nv::gui
