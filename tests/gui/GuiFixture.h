// The real print-settings dialog on an in-memory spooler with the demonstration printer,
// drawn by the Qt view on the offscreen platform, in the resource library's language.
#pragma once

#include "app/PdfSendApp.h"
#include "dialog/PdfSendDlg.h"
#include "gui/PdfSendDlgWindow.h"
#include "gui/qt/QtDialogHost.h"
#include "gui/qt/QtMessageBox.h"
#include "platform/registry/memory/MemoryRegistry.h"
#include "platform/spooler/memory/MemorySpooler.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>

class QMessageBox;

namespace nv::test {

// The language editions of the resource library under test.
struct Edition {
    const char* language;
    const char* file; // below the program directory
};
inline void PrintTo(const Edition& edition, std::ostream* out) {
    *out << edition.language;
}
inline const Edition kEditions[] = {{"ja", "Norvres.dll"}, {"en", "lang/en/Norvres.dll"}};

class GuiTest : public ::testing::TestWithParam<Edition> {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    static std::string ProgramCopy();
    void SetUp() override;

    // The dialog's services on the fixture's message boxes, resource library, registry and
    // spooler, with the command libraries the build placed beside the programs.
    DialogServices Services();
    // Runs the settings dialog; DRIVE runs inside its window once it is shown. Returns how the
    // dialog ended.
    int RunDialog(const std::function<void(gui::DialogView&)>& drive);
    // The widget of control ID in VIEW, cast to T.
    template <typename T>
    static T* Widget(gui::DialogView& view, int id) {
        return qobject_cast<T*>(view.ControlWidget(id));
    }

    static void WhenFound(std::function<QWidget*()> pick, std::function<void(QWidget&)> found);
    // Answers the next message box with its first button, after HANDLE has looked at it.
    static void AnswerNextMessageBox(std::function<void(QMessageBox&)> handle);
    // Runs WHILEOPEN as soon as the next dialog view above VIEW is shown.
    void WhenNextDialogShown(std::function<void(gui::DialogView&)> whileOpen);

    // Saves a picture of WIDGET as artifacts/NAME-<language>[-200].png and returns the path.
    std::string Screenshot(QWidget& widget, const std::string& name) const;
    // Expects every label, check box and button of VIEW to be given at least the width its
    // text needs.
    static void ExpectNothingClipped(QWidget& view);

    std::string language_;
    TempDir driverDir_;
    std::unique_ptr<platform::ResourceModule> resources_;
    platform::MemorySpooler spooler_;
    platform::MemoryRegistry registry_;
    CPdfSendApp app_;
    std::unique_ptr<gui::QtMessageBox> messages_;
    std::unique_ptr<gui::QtDialogHost> host_;
    std::unique_ptr<CPdfSendDlg> dialog_;
    int helpRequests_ = 0;
    int lastHelpContext_ = -1;
};

} // namespace nv::test
