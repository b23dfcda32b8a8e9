#include "GuiFixture.h"

#include "help/AboutDlg.h"
#include "platform/files/Files.h"
#include "unit/modules/ModuleFiles.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace nv::test {

namespace {

// The application object of the whole test program: made before the first test and destroyed
// after the last, while main() still runs (a static one would outlive Qt's own globals).
class QtEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        if (NV_GUI_SCALE != 1) {
            qputenv("QT_SCALE_FACTOR", QByteArray::number(NV_GUI_SCALE));
        }
        application_ = std::make_unique<QApplication>(argc_, argv_);
        QApplication::setStyle(QStringLiteral("Fusion"));
    }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[10] = "gui_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

// gtest owns the environment it is given.
[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

// A program directory holding the test program as "norvane" beside the companion and resource
// libraries (as links), so that the About box finds all three.
std::string GuiTest::ProgramCopy() {
    static const std::string exe = [] {
        namespace fs = std::filesystem;
        const fs::path dir = fs::temp_directory_path() / ("nv-gui-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        const std::pair<std::string, std::string> links[] = {
            {platform::GetModuleFileName(), "norvane"},
            {ProgramFile("Norvane.dll"), "Norvane.dll"},
            {ProgramFile("Norvres.dll"), "Norvres.dll"}};
        for (const auto& [target, name] : links) {
            fs::remove(dir / name);
            fs::create_symlink(target, dir / name);
        }
        return (dir / "norvane").string();
    }();
    return exe;
}

void GuiTest::SetUpTestSuite() {}

void GuiTest::TearDownTestSuite() {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(ProgramCopy()).parent_path(), ignored);
}

void GuiTest::SetUp() {
    language_ = GetParam().language;
    resources_ = platform::ResourceModule::Load(ProgramFile(GetParam().file));
    ASSERT_NE(resources_, nullptr);
    // A model that offers every option (bits 4 and 5 clear: page range and fit to page on).
    const std::string capFile = driverDir_.Write("nvgui.cap", "[Capability]\n"
                                                              "Velmora Quillet Demo=Printer\n"
                                                              "[Printer]\n"
                                                              "DirectPrint=0x3CF\n"
                                                              "DPTray=2\n"
                                                              "JobInfoDll=No\n"
                                                              "TrayCom=Printer Trays\n"
                                                              "PDFVersion=1.7\n"
                                                              "[Printer Trays]\n"
                                                              "AutoTray=auto\n"
                                                              "Tray1=tray1\n"
                                                              "Multi Purpose Tray=mp\n"
                                                              "Manual Feed=manual\n");
    spooler_.AddPrinter(
        {"Velmora Quillet Demo", "socket://127.0.0.1:9100", "Velmora Quillet Demo"},
        {"Velmora Quillet Demo", (driverDir_.Path() / "driver").string(), {capFile}});
    app_.m_strFilePath = "/nonexistent/Quarterly report.pdf";
    app_.m_strFileName = "Quarterly report.pdf";
    messages_ = std::make_unique<gui::QtMessageBox>(language_);
    host_ = std::make_unique<gui::QtDialogHost>(resources_.get(), messages_.get());
    DialogServices services = Services();
    services.runAboutBox = [this] {
        help::CAboutDlg about(resources_.get(), ProgramCopy(), *host_);
        about.DoModal();
    };
    dialog_ = std::make_unique<CPdfSendDlg>(&app_, services);
}

DialogServices GuiTest::Services() {
    DialogServices services;
    services.messageBox = messages_.get();
    services.resources = resources_.get();
    services.registry = &registry_;
    services.spooler = &spooler_;
    services.programDirectory = ProgramFile("");
    return services;
}

int GuiTest::RunDialog(const std::function<void(gui::DialogView&)>& drive) {
    QTimer::singleShot(0, [this, drive] {
        gui::DialogView* view = host_->TopView();
        ASSERT_NE(view, nullptr);
        drive(*view);
        if (!dialog_->GetWindow()->IsEnded()) {
            dialog_->OnCancel();
        }
    });
    return gui::RunPdfSendDialog(*dialog_, *host_, resources_.get(), [this](int context) {
        ++helpRequests_;
        lastHelpContext_ = context;
    });
}

// Calls FOUND with the first widget PICK gives (polling every 10 ms, from the event loop of
// whatever runs), then stops. The polling timer belongs to the application.
void GuiTest::WhenFound(std::function<QWidget*()> pick, std::function<void(QWidget&)> found) {
    auto* timer = new QTimer(QApplication::instance());
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, pick, found] {
        if (QWidget* widget = pick()) {
            timer->stop();
            timer->deleteLater();
            found(*widget);
        }
    });
    timer->start();
}

void GuiTest::AnswerNextMessageBox(std::function<void(QMessageBox&)> handle) {
    WhenFound(
        []() -> QWidget* {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box != nullptr && box->isVisible()) {
                    return box;
                }
            }
            return nullptr;
        },
        [handle](QWidget& widget) {
            auto& box = static_cast<QMessageBox&>(widget);
            handle(box);
            box.buttons().front()->click();
        });
}

void GuiTest::WhenNextDialogShown(std::function<void(gui::DialogView&)> whileOpen) {
    gui::DialogView* below = host_->TopView();
    WhenFound(
        [this, below]() -> QWidget* {
            gui::DialogView* top = host_->TopView();
            return top != nullptr && top != below && top->isVisible() ? top : nullptr;
        },
        [whileOpen](QWidget& widget) { whileOpen(static_cast<gui::DialogView&>(widget)); });
}

std::string GuiTest::Screenshot(QWidget& widget, const std::string& name) const {
    std::filesystem::create_directories(NV_ARTIFACTS_DIR);
    const std::string path = std::string(NV_ARTIFACTS_DIR) + "/" + name + "-" + language_ +
                             (NV_GUI_SCALE != 1 ? "-200" : "") + ".png";
    QApplication::processEvents();
    EXPECT_TRUE(widget.grab().save(QString::fromStdString(path)));
    return path;
}

void GuiTest::ExpectNothingClipped(QWidget& view) {
    for (QWidget* widget : view.findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget->objectName().isEmpty()) {
            continue;
        }
        auto* label = qobject_cast<QLabel*>(widget);
        auto* button = qobject_cast<QAbstractButton*>(widget);
        if ((label != nullptr && !label->text().isEmpty()) ||
            (button != nullptr && !button->text().isEmpty())) {
            EXPECT_GE(widget->width(), widget->minimumSizeHint().width())
                << widget->objectName().toStdString();
            EXPECT_GE(widget->height(), widget->minimumSizeHint().height())
                << widget->objectName().toStdString();
        }
    }
}

} // namespace nv::test
