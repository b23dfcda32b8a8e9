// The open-file dialog the window program shows when it is started without a file: titled,
// labelled and filtered in the resource library's language; the chosen PDF comes back, Cancel
// gives nothing.
#include "GuiFixture.h"
#include "app/PdfSendApp.h"
#include "gui/qt/QtFilePicker.h"
#include "resources/ResourceIds.h"

#include <QApplication>
#include <QFileDialog>
#include <QMetaObject>

namespace nv::test {
namespace {

namespace str = res::str;

TEST_P(GuiTest, OpenFileDialogAsksForAPdfInTheLanguage) {
    const auto text = [this](UINT id) { return resources_->LoadText(id); };
    const PickFileTexts texts{text(str::kOpenFileTitle),     text(str::kOpenFileFilterName),
                              text(str::kOpenFileButton),    text(str::kOpenFileCancel),
                              text(str::kOpenFileNameLabel), text(str::kOpenFileTypeLabel),
                              text(str::kOpenFileLookIn)};
    const std::string pdf = driverDir_.Write("chosen.pdf", "%PDF-1.4\n");
    for (const bool accept : {true, false}) {
        SCOPED_TRACE(accept ? "Open" : "Cancel");
        QString title;
        QStringList filters;
        QString acceptLabel;
        const auto visibleDialog = []() -> QWidget* {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (qobject_cast<QFileDialog*>(widget) != nullptr && widget->isVisible()) {
                    return widget;
                }
            }
            return nullptr;
        };
        WhenFound(visibleDialog, [&](QWidget& widget) {
            auto& dialog = static_cast<QFileDialog&>(widget);
            title = dialog.windowTitle();
            filters = dialog.nameFilters();
            acceptLabel = dialog.labelText(QFileDialog::Accept);
            if (accept) {
                dialog.selectFile(QString::fromStdString(pdf));
                QMetaObject::invokeMethod(&dialog, "accept");
            } else {
                dialog.reject();
            }
        });
        const std::optional<CString> chosen = gui::AskForPdfFile(texts);
        EXPECT_EQ(title.toStdString(), texts.title);
        ASSERT_EQ(filters.size(), 1);
        EXPECT_TRUE(filters[0].startsWith(QString::fromStdString(texts.filterName)));
        EXPECT_TRUE(filters[0].contains("*.pdf"));
        EXPECT_EQ(acceptLabel.toStdString(), texts.openButton);
        EXPECT_EQ(chosen, accept ? std::optional<CString>(pdf) : std::nullopt);
    }
}

} // namespace
} // namespace nv::test
