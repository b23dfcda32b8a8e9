#include "gui/qt/QtFilePicker.h"

#include <QFile>
#include <QFileDialog>
#include <QString>
#include <QStringList>

namespace nv::gui {

namespace {

QString FromUtf8(const CString& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

std::optional<CString> AskForPdfFile(const PickFileTexts& texts) {
    // Names are matched case by case here, so the pattern is offered in capitals as well.
    const QString pattern = QString::fromUtf8(kPdfFilePattern);
    const QString filter =
        FromUtf8(texts.filterName) + " (" + pattern + " " + pattern.toUpper() + ")";
    QFileDialog dialog(nullptr, FromUtf8(texts.title), QString(), filter);
    dialog.setObjectName("openFileDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const std::pair<QFileDialog::DialogLabel, const CString*> labels[] = {
        {QFileDialog::Accept, &texts.openButton},
        {QFileDialog::Reject, &texts.cancelButton},
        {QFileDialog::FileName, &texts.fileNameLabel},
        {QFileDialog::FileType, &texts.fileTypeLabel},
        {QFileDialog::LookIn, &texts.lookInLabel},
    };
    for (const auto& [label, text] : labels) {
        if (!text->empty()) {
            dialog.setLabelText(label, FromUtf8(*text));
        }
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(chosen.front()).toStdString();
}

} // namespace nv::gui
