// The message-box port drawn with Qt: the icon and buttons the flags ask for, button texts in
// the resource library's language, owned by the dialog that is open (or by no window for the
// start-up messages).
#pragma once

#include "platform/ui/MessageBox.h"

#include <QPointer>
#include <QWidget>
#include <string>

namespace nv::gui {

class QtMessageBox final : public platform::IMessageBox {
public:
    // LANGUAGE ("ja", "en") picks the button texts; other languages get the English ones.
    explicit QtMessageBox(std::string language) : language_(std::move(language)) {}

    // The window that owns the boxes shown with OWNED set; null for none.
    void SetOwner(QWidget* owner) { owner_ = owner; }
    QWidget* Owner() const { return owner_; }

    // Icons: 0x10 stop, 0x20 question, 0x30 exclamation, 0x40 information. Buttons: OK (0),
    // OK and Cancel (1), Yes, No and Cancel (3), Yes and No (4). Returns IDOK, IDCANCEL, IDYES
    // or IDNO; IDCANCEL when the box was closed without a button where the flags offer none.
    int Show(const CString& text, const CString& caption, UINT flags, bool owned) override;

private:
    std::string language_;
    QPointer<QWidget> owner_;
};

} // namespace nv::gui
