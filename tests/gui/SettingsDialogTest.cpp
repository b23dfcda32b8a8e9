// The settings dialog on screen: every control mirrored, the user's typing, clicks, picks and
// keys reaching the dialog, and the window's own keys.
#include "GuiFixture.h"
#include "platform/ui/MessageBox.h"
#include "resources/ResourceIds.h"
#include "unit/modules/ModuleFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <utility>
#include <vector>

namespace nv::test {
namespace {

namespace ctl = res::ctl;
constexpr int id(UINT control) {
    return static_cast<int>(control);
}

QString Text(const CString& text) {
    return QString::fromStdString(text);
}

TEST_P(GuiTest, SettingsDialogMirrorsEveryControl) {
    const int result = RunDialog([&](gui::DialogView& view) {
        platform::DialogSurface& surface = *dialog_->GetWindow();
        EXPECT_EQ(view.windowTitle(), "Quarterly report.pdf");
        EXPECT_FALSE(view.windowIcon().isNull());
        for (int control : surface.ControlIds()) {
            SCOPED_TRACE(control);
            QWidget* widget = view.ControlWidget(control);
            ASSERT_NE(widget, nullptr);
            EXPECT_EQ(widget->objectName(), QStringLiteral("ctl%1").arg(control));
            if (surface.GetStaticIcon(control) == nullptr) {
                EXPECT_EQ(widget->isEnabled(), surface.IsWindowEnabled(control) != 0);
            }
            const QString text = Text(surface.GetDlgItemText(control));
            if (auto* label = qobject_cast<QLabel*>(widget); label && label->pixmap().isNull()) {
                EXPECT_EQ(label->text(), text);
            } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
                EXPECT_EQ(button->text(), text);
                EXPECT_FALSE(text.isEmpty());
            } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
                EXPECT_EQ(edit->text(), text);
            }
        }
        auto* printers = Widget<QComboBox>(view, id(ctl::kPrinterList));
        ASSERT_EQ(printers->count(), 1);
        EXPECT_EQ(printers->currentText(), "Velmora Quillet Demo");
        EXPECT_EQ(Widget<QLabel>(view, id(ctl::kPortText))->text(), "socket://127.0.0.1:9100");
        EXPECT_EQ(Widget<QComboBox>(view, id(ctl::kBindingList))->count(), 2);
        EXPECT_FALSE(Widget<QLabel>(view, id(ctl::kBindingIcon))->pixmap().isNull());
        EXPECT_EQ(Widget<QLineEdit>(view, id(ctl::kPasswordEdit))->echoMode(), QLineEdit::Password);
        EXPECT_TRUE(Widget<QPushButton>(view, id(ctl::kPrintButton))->isDefault());
        ExpectNothingClipped(view);
        Screenshot(view, "settings");
    });
    EXPECT_EQ(result, platform::IDCANCEL);
}

TEST_P(GuiTest, TypingClicksAndPicksReachTheDialog) {
    const int result = RunDialog([&](gui::DialogView& view) {
        platform::DialogSurface& surface = *dialog_->GetWindow();
        auto* copies = Widget<QLineEdit>(view, id(ctl::kCopiesEdit));
        copies->selectAll();
        QTest::keyClicks(copies, "1x2");
        EXPECT_EQ(surface.GetDlgItemText(id(ctl::kCopiesEdit)), "12") << "digits only";
        QTest::mouseClick(view.findChild<QToolButton*>("ctl1009up"), Qt::LeftButton);
        EXPECT_EQ(surface.GetDlgItemText(id(ctl::kCopiesEdit)), "13");
        EXPECT_EQ(copies->text(), "13");
        QTest::keyClick(copies, Qt::Key_Down);
        EXPECT_EQ(copies->text(), "12");

        auto* duplex = Widget<QCheckBox>(view, id(ctl::kDuplexCheck));
        const bool wasChecked = surface.IsDlgButtonChecked(id(ctl::kDuplexCheck)) != 0;
        QTest::mouseClick(duplex, Qt::LeftButton);
        EXPECT_NE(surface.IsDlgButtonChecked(id(ctl::kDuplexCheck)) != 0, wasChecked);
        EXPECT_EQ(duplex->isChecked(), !wasChecked);
        auto* binding = Widget<QComboBox>(view, id(ctl::kBindingList));
        EXPECT_EQ(binding->isEnabled(), surface.IsWindowEnabled(id(ctl::kBindingList)) != 0);
        if (!binding->isEnabled()) {
            QTest::mouseClick(duplex, Qt::LeftButton);
        }
        ASSERT_TRUE(binding->isEnabled());
        auto* icon = Widget<QLabel>(view, id(ctl::kBindingIcon));
        const qint64 longEdge = icon->pixmap().cacheKey();
        QTest::keyClick(binding, Qt::Key_Down);
        EXPECT_EQ(surface.GetComboBox(id(ctl::kBindingList))->GetCurSel(), 1);
        EXPECT_EQ(surface.GetStaticIcon(id(ctl::kBindingIcon))->GetIcon(), res::icon::kShortEdge);
        EXPECT_NE(icon->pixmap().cacheKey(), longEdge);

        auto* range = Widget<QCheckBox>(view, id(ctl::kPageRangeCheck));
        QTest::mouseClick(range, Qt::LeftButton);
        EXPECT_EQ(range->isChecked(), surface.IsDlgButtonChecked(id(ctl::kPageRangeCheck)) != 0);
        EXPECT_EQ(Widget<QLineEdit>(view, id(ctl::kStartPageEdit))->isEnabled(),
                  surface.IsWindowEnabled(id(ctl::kStartPageEdit)) != 0);

        auto* password = Widget<QCheckBox>(view, id(ctl::kPasswordCheck));
        QTest::mouseClick(password, Qt::LeftButton);
        EXPECT_EQ(Widget<QLineEdit>(view, id(ctl::kPasswordEdit))->isEnabled(),
                  surface.IsWindowEnabled(id(ctl::kPasswordEdit)) != 0);
        ExpectNothingClipped(view);
        Screenshot(view, "settings-edited");

        copies->setFocus();
        QTest::keyClick(copies, Qt::Key_F1);
        EXPECT_EQ(helpRequests_, 1);
        EXPECT_EQ(lastHelpContext_, id(ctl::kCopiesEdit));

        QTest::keyClick(&view, Qt::Key_Escape);
        EXPECT_TRUE(surface.IsEnded());
    });
    EXPECT_EQ(result, platform::IDCANCEL);
}

TEST_P(GuiTest, LongNamesDoNotWidenTheWindowWithoutBound) {
    const std::string name = "Velmora Quillet Demo on the third floor, " + std::string(120, 'x');
    const std::string port = "socket://" + std::string(150, 'p') + ".example:9100";
    spooler_.AddPrinter({name, port, "Velmora Quillet Demo"},
                        {"Velmora Quillet Demo",
                         (driverDir_.Path() / "driver").string(),
                         {(driverDir_.Path() / "nvgui.cap").string()}});
    spooler_.SetDefaultPrinter(name);
    RunDialog([&](gui::DialogView& view) {
        ASSERT_EQ(dialog_->GetWindow()->GetDlgItemText(id(ctl::kPortText)), port);
        auto* portText = Widget<QLabel>(view, id(ctl::kPortText));
        EXPECT_LT(view.width(), 100 * view.fontMetrics().averageCharWidth());
        EXPECT_LT(portText->width(), portText->fontMetrics().horizontalAdvance(portText->text()));
        QApplication::processEvents();
        Screenshot(view, "settings-long");
        EXPECT_EQ(portText->toolTip(), QString::fromStdString(port));
    });
}

TEST_P(GuiTest, CloseBoxEndsTheDialogLikeClose) {
    const int result = RunDialog([&](gui::DialogView& view) { view.close(); });
    EXPECT_EQ(result, platform::IDCANCEL);
    EXPECT_TRUE(dialog_->GetWindow()->IsEnded());
}

TEST_P(GuiTest, ProgressBlocksInputWhileAJobIsSent) {
    RunDialog([&](gui::DialogView& view) {
        platform::DialogSurface& surface = *dialog_->GetWindow();
        platform::IJobProgress& progress = host_->Progress();
        const UINT collate = surface.IsDlgButtonChecked(id(ctl::kCollateCheck));
        progress.Started(4ull << 30);
        progress.Advanced(3ull << 30);
        auto* bar = view.findChild<QProgressBar*>("jobProgress");
        ASSERT_NE(bar, nullptr);
        EXPECT_TRUE(bar->isVisible());
        EXPECT_EQ(bar->value(), 750);
        QTest::mouseClick(Widget<QCheckBox>(view, id(ctl::kCollateCheck)), Qt::LeftButton);
        QTest::keyClick(&view, Qt::Key_Escape);
        EXPECT_EQ(surface.IsDlgButtonChecked(id(ctl::kCollateCheck)), collate);
        EXPECT_FALSE(surface.IsEnded());
        Screenshot(view, "progress");
        progress.Finished();
        EXPECT_FALSE(bar->isVisible());
        EXPECT_EQ(Widget<QCheckBox>(view, id(ctl::kCollateCheck))->isEnabled(),
                  surface.IsWindowEnabled(id(ctl::kCollateCheck)) != 0);
    });
}

// Cancel, Escape and the close box while a job is sent stop the job: it is cancelled on the
// spooler, no message follows, and the dialog stays open with its settings for another try.
TEST_P(GuiTest, CancelDuringASendStopsTheJobAndKeepsTheDialog) {
    const std::string pdf =
        driverDir_.Write("large.pdf", "%PDF-1.4\n" + std::string(3u << 20, ' ') + "\n%%EOF\n");
    const std::vector<std::pair<const char*, std::function<void(gui::DialogView&)>>> stops = {
        {"Cancel button",
         [](gui::DialogView& view) {
             auto* cancel = view.findChild<QPushButton*>("jobCancel");
             ASSERT_NE(cancel, nullptr);
             EXPECT_TRUE(cancel->isVisible());
             QTest::mouseClick(cancel, Qt::LeftButton);
         }},
        {"Escape", [](gui::DialogView& view) { QTest::keyClick(&view, Qt::Key_Escape); }},
        {"close box", [](gui::DialogView& view) { view.close(); }},
    };
    for (const auto& [name, stop] : stops) {
        SCOPED_TRACE(name);
        DialogServices services = Services();
        services.progress = &host_->Progress();
        services.cancelRequested = [this] { return host_->Progress().CancelRequested(); };
        app_.m_strFilePath = pdf;
        dialog_ = std::make_unique<CPdfSendDlg>(&app_, services);
        QString cancelText;
        const int result = RunDialog([&](gui::DialogView& view) {
            // The stop comes from the events the job handles while its first piece is out.
            QTimer::singleShot(0, &view, [&view, &stop, &cancelText] {
                if (auto* cancel = view.findChild<QPushButton*>("jobCancel")) {
                    cancelText = cancel->text();
                }
                stop(view);
            });
            QTest::mouseClick(Widget<QPushButton>(view, id(ctl::kPrintButton)), Qt::LeftButton);
            EXPECT_FALSE(dialog_->GetWindow()->IsEnded());
            EXPECT_EQ(dialog_->GetJobFailure(), JobFailure::cancelled);
            EXPECT_FALSE(view.IsBusy());
            EXPECT_FALSE(view.findChild<QPushButton*>("jobCancel")->isVisible());
            EXPECT_TRUE(Widget<QPushButton>(view, id(ctl::kPrintButton))->isEnabled());
        });
        EXPECT_EQ(result, platform::IDCANCEL);
        EXPECT_EQ(cancelText, Text(resources_->LoadText(res::str::kCancelJobButton)));
        ASSERT_FALSE(spooler_.Jobs().empty());
        EXPECT_TRUE(spooler_.Jobs().back().aborted);
        EXPECT_FALSE(spooler_.Jobs().back().ended);
        EXPECT_LT(spooler_.Jobs().back().data.size(), std::size_t{3} << 20);
    }
}

// The 200 % run registers its cases under a name of its own.
#if NV_GUI_SCALE == 1
INSTANTIATE_TEST_SUITE_P(Editions, GuiTest, ::testing::ValuesIn(kEditions),
                         [](const ::testing::TestParamInfo<Edition>& param) {
                             return std::string(param.param.language);
                         });
#else
INSTANTIATE_TEST_SUITE_P(Editions200, GuiTest, ::testing::ValuesIn(kEditions),
                         [](const ::testing::TestParamInfo<Edition>& param) {
                             return std::string(param.param.language);
                         });
#endif

} // namespace
} // namespace nv::test
