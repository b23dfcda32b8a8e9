// Message boxes owned by the dialog, and the About box from its button and from the window's
// context menu.
#include "GuiFixture.h"
#include "job/JobFailure.h"
#include "resources/ResourceIds.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>

namespace nv::test {
namespace {

namespace ctl = res::ctl;
constexpr int id(UINT control) {
    return static_cast<int>(control);
}

TEST_P(GuiTest, WarningsAndErrorsShowOwnedBoxes) {
    RunDialog([&](gui::DialogView& view) {
        struct Seen {
            QString text, title;
            QMessageBox::Icon icon;
            int buttons;
            QWidget* owner;
        };
        std::vector<Seen> seen;
        auto record = [&](QMessageBox& box) {
            seen.push_back({box.text(), box.windowTitle(), box.icon(),
                            static_cast<int>(box.buttons().size()), box.parentWidget()});
            if (seen.size() == 1) {
                Screenshot(box, "messagebox");
            }
        };
        // Copies of 0 are refused with a warning; Enter presses Print, whose version check
        // cannot open the (missing) PDF.
        AnswerNextMessageBox(record);
        auto* copies = Widget<QLineEdit>(view, id(ctl::kCopiesEdit));
        copies->selectAll();
        QTest::keyClicks(copies, "0");
        copies->selectAll();
        QTest::keyClicks(copies, "2");
        AnswerNextMessageBox(record);
        QTest::keyClick(copies, Qt::Key_Return);
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[0].text.toStdString(), resources_->LoadText(res::str::kBadCopies));
        EXPECT_EQ(seen[0].title.toStdString(), resources_->LoadText(res::str::kWarningCaption));
        EXPECT_EQ(seen[0].icon, QMessageBox::Warning);
        EXPECT_EQ(seen[0].buttons, 1);
        EXPECT_EQ(seen[0].owner, &view);
        EXPECT_EQ(seen[1].text.toStdString(), resources_->LoadText(res::str::kFileCannotOpen));
        EXPECT_EQ(seen[1].title.toStdString(), resources_->LoadText(res::str::kErrorCaption));
    });
}

// Every way a validated job can fail ends in one box naming the printer and its address; the
// dialog stays open for another try.
TEST_P(GuiTest, EverySendFailureShowsItsMessage) {
    // A copy of its own: the job opens the document exclusively, and other tests print it too.
    const std::filesystem::path pdf = driverDir_.Path() / "sample.pdf";
    std::filesystem::copy_file(std::string(std::getenv("NV_TEST_DATA")) + "/demo/sample.pdf", pdf);
    app_.m_strFilePath = pdf.string();
    const platform::SpoolError causes[] = {
        platform::SpoolError::refused,   platform::SpoolError::reset,
        platform::SpoolError::timedOut,  platform::SpoolError::hostUnknown,
        platform::SpoolError::scheduler, platform::SpoolError::diskFull,
        platform::SpoolError::other,
    };
    spooler_.SetStartDocFails(true);
    RunDialog([&](gui::DialogView& view) {
        for (const platform::SpoolError cause : causes) {
            spooler_.SetFailureCause(cause);
            QString shown;
            AnswerNextMessageBox([&](QMessageBox& box) { shown = box.text(); });
            QTest::mouseClick(Widget<QPushButton>(view, id(ctl::kPrintButton)), Qt::LeftButton);
            const std::string expected = FailureMessage(
                FailureOfSpoolError(cause), dialog_->m_strPrinterName, dialog_->m_strPortName,
                [this](UINT text) { return resources_->LoadText(text); });
            ASSERT_FALSE(expected.empty()) << static_cast<int>(cause);
            EXPECT_EQ(shown.toStdString(), expected) << static_cast<int>(cause);
            EXPECT_NE(expected.find("socket://127.0.0.1:9100"), std::string::npos);
            EXPECT_TRUE(view.isVisible());
        }
        QTest::mouseClick(Widget<QPushButton>(view, id(ctl::kCloseButton)), Qt::LeftButton);
    });
}

TEST_P(GuiTest, QuestionHasYesAndNoInTheLanguage) {
    std::vector<QString> buttons;
    AnswerNextMessageBox([&](QMessageBox& box) {
        EXPECT_EQ(box.icon(), QMessageBox::Information);
        for (QAbstractButton* button : box.buttons()) {
            buttons.push_back(button->text());
        }
        Screenshot(box, "question");
    });
    const int answer =
        messages_->Show(resources_->LoadText(res::str::kVersionQuestion),
                        resources_->LoadText(res::str::kWarningCaption), 0x44, false);
    EXPECT_EQ(answer, platform::IDYES);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0], language_ == "ja" ? "はい(&Y)" : "&Yes");
    EXPECT_EQ(buttons[1], language_ == "ja" ? "いいえ(&N)" : "&No");
}

// Opens the About box with OPEN and returns its texts by control ID.
std::map<int, QString> AboutTexts(gui::DialogView& about) {
    std::map<int, QString> texts;
    for (UINT control :
         {ctl::kAboutExeName, ctl::kAboutExeVersion, ctl::kAboutLibName, ctl::kAboutLibVersion,
          ctl::kAboutResName, ctl::kAboutResVersion, ctl::kAboutProductLine}) {
        auto* label = qobject_cast<QLabel*>(about.ControlWidget(id(control)));
        texts[id(control)] = label != nullptr ? label->text() : QStringLiteral("(none)");
    }
    return texts;
}

TEST_P(GuiTest, AboutBoxFromButtonAndFromContextMenuIsTheSame) {
    RunDialog([&](gui::DialogView& view) {
        std::map<int, QString> fromButton;
        std::map<int, QString> fromMenu;
        WhenNextDialogShown([&](gui::DialogView& about) {
            fromButton = AboutTexts(about);
            EXPECT_EQ(about.parentWidget(), &view);
            ExpectNothingClipped(about);
            Screenshot(about, "about");
            QTest::keyClick(&about, Qt::Key_Return);
        });
        QTest::mouseClick(Widget<QPushButton>(view, id(ctl::kAboutButton)), Qt::LeftButton);
        EXPECT_FALSE(dialog_->GetWindow()->IsEnded());

        WhenNextDialogShown([&](gui::DialogView& about) {
            fromMenu = AboutTexts(about);
            QTest::keyClick(&about, Qt::Key_Escape);
        });
        QTimer::singleShot(0, [&] {
            auto* menu = view.findChild<QMenu*>("systemMenu");
            ASSERT_NE(menu, nullptr);
            auto* item = menu->findChild<QAction*>("sysCommand16");
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->text().toStdString(), resources_->LoadText(res::str::kAboutMenuItem));
            menu->setActiveAction(item);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20),
                                view.mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(&view, &event);

        EXPECT_EQ(fromButton.at(id(ctl::kAboutExeName)), "norvane.exe");
        EXPECT_EQ(fromButton.at(id(ctl::kAboutLibName)), "Norvane.dll");
        EXPECT_EQ(fromButton.at(id(ctl::kAboutResName)), "Norvres.dll");
        EXPECT_TRUE(fromButton.at(id(ctl::kAboutProductLine)).startsWith("Norvane "));
        EXPECT_EQ(fromMenu, fromButton);
        EXPECT_FALSE(dialog_->GetWindow()->IsEnded());
    });
}

} // namespace
} // namespace nv::test
