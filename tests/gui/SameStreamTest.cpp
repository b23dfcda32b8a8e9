// The window and norvane-print hand the printer the same job for the same choices: the choices
// are made by clicking and typing in the Qt view and Print is pressed there; norvane-print is
// then run with the equivalent options as a dry run, and both streams must match byte for byte.
#include "GuiFixture.h"
#include "platform/ui/ControlConstants.h"
#include "platform/ui/MessageBox.h"
#include "printer/CapabilityFile.h"
#include "resources/ResourceIds.h"
#include "unit/modules/ModuleFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace nv::test {
namespace {

namespace ctl = res::ctl;
namespace fs = std::filesystem;
constexpr int id(UINT control) {
    return static_cast<int>(control);
}

std::string ReadAll(const fs::path& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path.string());
    return {bytes.begin(), bytes.end()};
}

// Runs ARGS (the program first) with OVERRIDES added to this process's environment, its
// standard error kept in ERRFILE. Returns the exit status, -1 when it did not exit.
int RunProgram(std::vector<std::string> args, const std::vector<std::string>& overrides,
               const fs::path& errFile) {
    std::vector<std::string> env = overrides;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('=') + 1);
        bool replaced = false;
        for (const std::string& own : overrides) {
            replaced = replaced || own.rfind(name, 0) == 0;
        }
        if (!replaced) {
            env.push_back(text);
        }
    }
    std::vector<char*> argv, envp;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    for (std::string& entry : env) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, argv.front(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return -1;
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class SameStreamTest : public GuiTest {
protected:
    // Makes the same choices in the window on the printer of TYPE and presses Print there, then
    // runs norvane-print with the equivalent options; expects one job, identical in both.
    void ExpectSameStream(int type) {
        const bool range = type != 1;
        const std::string printer = "Velmora Same " + std::to_string(type);
        const std::string capFile = work_.Write(
            "nvsame.cap", "[Capability]\n" + printer + "=Model\n[Model]\nDirectPrint=0x3CF\n" +
                              "DPTray=" + std::to_string(type) +
                              "\nJobInfoDll=No\nTrayCom=Trays\nPDFVersion=1.7\n"
                              "[Trays]\nAutoTray=auto\nTray1=tray1\nMulti Purpose Tray=mp\n"
                              "Manual Feed=manual\n");
        const std::string pdf =
            work_.Write("Board minutes.pdf", "%PDF-1.4\n1 0 obj << >> endobj\ntrailer\n%%EOF\n");
        const fs::path port = work_.Path() / "printed.prn";
        spooler_.AddPrinter({printer, "file://" + port.string(), printer},
                            {printer, (work_.Path() / "driver").string(), {capFile}});
        spooler_.SetDefaultPrinter(printer);
        app_.m_strFilePath = pdf;
        app_.m_strFileName = "Board minutes.pdf";

        std::string tray;
        const int result = RunDialog([&](gui::DialogView& view) {
            platform::DialogSurface& surface = *dialog_->GetWindow();
            ASSERT_EQ(Widget<QComboBox>(view, id(ctl::kPrinterList))->currentText(),
                      QString::fromStdString(printer));
            auto* trays = Widget<QComboBox>(view, id(ctl::kPaperSourceList));
            QTest::keyClick(trays, Qt::Key_End);
            ASSERT_GT(trays->currentIndex(), 0) << "a tray other than the first";
            for (const TrayKey& key : kTrayKeys) {
                if (resources_->LoadText(key.textId) == trays->currentText().toStdString()) {
                    tray = key.key;
                }
            }
            auto* copies = Widget<QLineEdit>(view, id(ctl::kCopiesEdit));
            copies->selectAll();
            QTest::keyClicks(copies, "3");
            auto* collate = Widget<QCheckBox>(view, id(ctl::kCollateCheck));
            if (collate->isChecked()) {
                QTest::mouseClick(collate, Qt::LeftButton);
            }
            auto* duplex = Widget<QCheckBox>(view, id(ctl::kDuplexCheck));
            if (!duplex->isChecked()) {
                QTest::mouseClick(duplex, Qt::LeftButton);
            }
            auto* binding = Widget<QComboBox>(view, id(ctl::kBindingList));
            QTest::keyClick(binding, Qt::Key_End);
            // Type 1 carries no page range, so the dialog does not offer one there.
            auto* pageRange = Widget<QCheckBox>(view, id(ctl::kPageRangeCheck));
            EXPECT_EQ(pageRange->isEnabled(), range);
            if (range) {
                QTest::mouseClick(pageRange, Qt::LeftButton);
                for (const auto& [control, text] :
                     {std::pair{ctl::kStartPageEdit, "2"}, std::pair{ctl::kEndPageEdit, "5"}}) {
                    auto* edit = Widget<QLineEdit>(view, id(control));
                    edit->selectAll();
                    QTest::keyClicks(edit, text);
                }
            }
            EXPECT_EQ(surface.GetDlgItemText(id(ctl::kCopiesEdit)), "3");
            EXPECT_EQ(surface.IsDlgButtonChecked(id(ctl::kCollateCheck)), platform::BST_UNCHECKED);
            EXPECT_EQ(surface.IsDlgButtonChecked(id(ctl::kDuplexCheck)), platform::BST_CHECKED);
            EXPECT_EQ(surface.GetComboBox(id(ctl::kBindingList))->GetCurSel(), 1) << "short edge";
            if (range) {
                EXPECT_EQ(surface.IsDlgButtonChecked(id(ctl::kPageRangeCheck)),
                          platform::BST_CHECKED);
                EXPECT_EQ(surface.GetDlgItemText(id(ctl::kStartPageEdit)), "2");
                EXPECT_EQ(surface.GetDlgItemText(id(ctl::kEndPageEdit)), "5");
            }
            QTest::mouseClick(Widget<QPushButton>(view, id(ctl::kPrintButton)), Qt::LeftButton);
        });
        EXPECT_EQ(result, platform::IDOK);
        ASSERT_EQ(spooler_.Jobs().size(), 1u);
        const platform::RecordedJob& job = spooler_.Jobs().front();
        EXPECT_TRUE(job.ended);
        EXPECT_EQ(job.docName, "Board minutes.pdf");
        ASSERT_FALSE(tray.empty()) << "the chosen tray's key";

        const fs::path dryRun = work_.Path() / "dry-run.prn";
        fs::create_directories(work_.Path() / "drivers");
        fs::copy_file(capFile, work_.Path() / "drivers" / "nvsame.cap");
        const std::string printers =
            work_.Write("printers.ini", "[" + printer + "]\nDriver=" + printer + "\nPort=file://" +
                                            port.string() + "\n");
        std::vector<std::string> args = {ProgramFile("norvane-print"),
                                         "--printer",
                                         printer,
                                         "--tray",
                                         tray,
                                         "--copies",
                                         "3",
                                         "--no-collate",
                                         "--duplex",
                                         "short"};
        if (range) {
            args.insert(args.end(), {"--pages", "2-5"});
        }
        args.insert(args.end(), {"--dry-run", dryRun.string(), pdf});
        const int status =
            RunProgram(args,
                       {"NORVANE_REGISTRY=" + (work_.Path() / "registry").string(),
                        "NORVANE_DRIVER_DIR=" + (work_.Path() / "drivers").string(),
                        "NORVANE_PRINTERS=" + printers,
                        "CUPS_SERVER=" + (work_.Path() / "no-scheduler.sock").string()},
                       work_.Path() / "stderr");
        EXPECT_EQ(status, 0) << ReadAll(work_.Path() / "stderr");
        EXPECT_FALSE(fs::exists(port)) << "a dry run sends nothing";
        EXPECT_EQ(ReadAll(dryRun), job.data);
    }

    TempDir work_;
};

TEST_P(SameStreamTest, WindowAndCommandLineSendTheSameJobOnTypeOne) {
    ExpectSameStream(1);
}

TEST_P(SameStreamTest, WindowAndCommandLineSendTheSameJobOnTypeTwo) {
    ExpectSameStream(2);
}

#if NV_GUI_SCALE == 1
INSTANTIATE_TEST_SUITE_P(Editions, SameStreamTest, ::testing::ValuesIn(kEditions),
                         [](const ::testing::TestParamInfo<Edition>& param) {
                             return std::string(param.param.language);
                         });
#else
INSTANTIATE_TEST_SUITE_P(Editions200, SameStreamTest, ::testing::ValuesIn(kEditions),
                         [](const ::testing::TestParamInfo<Edition>& param) {
                             return std::string(param.param.language);
                         });
#endif

} // namespace
} // namespace nv::test
