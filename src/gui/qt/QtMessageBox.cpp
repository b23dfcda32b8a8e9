#include "gui/qt/QtMessageBox.h"

#include <QMessageBox>
#include <QPushButton>

namespace nv::gui {
namespace {

struct ButtonTexts {
    const char* ok;
    const char* cancel;
    const char* yes;
    const char* no;
};

const ButtonTexts& TextsFor(const std::string& language) {
    static const ButtonTexts english = {"OK", "Cancel", "&Yes", "&No"};
    static const ButtonTexts japanese = {"OK", "キャンセル", "はい(&Y)", "いいえ(&N)"};
    return language == "ja" ? japanese : english;
}

QMessageBox::Icon IconFor(UINT flags) {
    switch (flags & 0xF0) {
    case 0x10:
        return QMessageBox::Critical;
    case 0x20:
        return QMessageBox::Question;
    case 0x30:
        return QMessageBox::Warning;
    case 0x40:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int QtMessageBox::Show(const CString& text, const CString& caption, UINT flags, bool owned) {
    QMessageBox box(owned ? owner_.data() : nullptr);
    box.setObjectName(QStringLiteral("messageBox"));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    box.setWindowTitle(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    box.setIcon(IconFor(flags));
    const ButtonTexts& texts = TextsFor(language_);
    struct Offered {
        QMessageBox::StandardButton button;
        const char* text;
        int result;
    };
    std::vector<Offered> offered;
    switch (flags & 0x0F) {
    case 0x01:
        offered = {{QMessageBox::Ok, texts.ok, platform::IDOK},
                   {QMessageBox::Cancel, texts.cancel, platform::IDCANCEL}};
        break;
    case 0x03:
        offered = {{QMessageBox::Yes, texts.yes, platform::IDYES},
                   {QMessageBox::No, texts.no, platform::IDNO},
                   {QMessageBox::Cancel, texts.cancel, platform::IDCANCEL}};
        break;
    case 0x04:
        offered = {{QMessageBox::Yes, texts.yes, platform::IDYES},
                   {QMessageBox::No, texts.no, platform::IDNO}};
        break;
    default:
        offered = {{QMessageBox::Ok, texts.ok, platform::IDOK}};
        break;
    }
    for (const Offered& o : offered) {
        box.addButton(o.button);
        box.button(o.button)->setText(QString::fromUtf8(o.text));
        box.button(o.button)->setObjectName(QStringLiteral("button%1").arg(o.result));
    }
    box.setDefaultButton(offered.front().button);
    const int pressed = box.exec();
    for (const Offered& o : offered) {
        if (pressed == o.button) {
            return o.result;
        }
    }
    return offered.size() == 1 ? offered.front().result : platform::IDCANCEL;
}

} // namespace nv::gui
