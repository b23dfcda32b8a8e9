// Feeds arbitrary bytes as a capability file to every reader of it: the capability loader, the
// paper-source list, the printer's PDF version and the job header composer. The input is: one
// byte choosing the printer type, the tray key and the list mode, one byte of option flags,
// then the file's bytes. Checks that a composed header never ends without its line end.
#include "app/PdfSendApp.h"
#include "dialog/PdfSendDlg.h"
#include "platform/ui/DialogSurface.h"
#include "platform/ui/memory/ScriptedMessageBox.h"
#include "printer/CapabilityFile.h"
#include "support/StringTableModule.h"
#include "support/TempDir.h"
#include "unit/job/TestCommandLibraries.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The file the input is written to, in a folder removed when the process ends.
const std::string& ScratchFile() {
    static const nv::test::TempDir folder;
    static const std::string path = (folder.Path() / "nvfuzz.cap").string();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace nv;
    if (size < 2) {
        return 0;
    }
    const std::uint8_t choice = data[0];
    const std::uint8_t options = data[1];
    {
        std::ofstream out(ScratchFile(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data) + 2, static_cast<std::streamsize>(size - 2));
    }

    platform::ScriptedMessageBox messages;
    test::StringTableModule texts({{93, "Auto"},
                                   {94, "T1"},
                                   {95, "T2"},
                                   {96, "T3"},
                                   {97, "T4"},
                                   {98, "T5"},
                                   {99, "MP"},
                                   {100, "MF"}});
    CPdfSendApp app;
    app.m_strFileName = "fuzz.pdf";
    CPdfSendDlg dialog(&app, DialogServices{&messages, &texts});
    dialog.m_strDriverName = "Velmora Q1";
    dialog.m_strCapFile = ScratchFile();

    dialog.LoadCapability(dialog.m_strDriverName, dialog.m_strCapFile);
    Check(dialog.m_nPrinterType <= kMaxPrinterType);
    platform::DialogSurface surface;
    platform::ComboBox& list = surface.AddComboBox(1006);
    dialog.m_pPaperSourceList = &list;
    dialog.m_strPaperFeed = "T2";
    dialog.FillPaperSourceList(choice & 0x80);
    Check(list.GetCount() <= static_cast<int>(kTrayKeys.size()));
    Check(list.GetCount() == 0 || list.GetCurSel() >= 0);
    ReadPrinterPdfVersion(dialog.m_strCapFile, dialog.m_strDriverName);

    dialog.m_nPrinterType = choice % 6;
    dialog.m_strTrayKey = kTrayKeys[(choice >> 3) % kTrayKeys.size()].key;
    dialog.m_bCollate = options & 1;
    dialog.m_bDuplex = (options >> 1) & 1;
    dialog.m_nBinding = (options >> 2) & 1;
    dialog.m_bFitToPage = (options >> 3) & 1;
    dialog.m_bPageRange = (options >> 4) & 1;
    dialog.m_bUsePassword = (options >> 5) & 1;
    dialog.m_strPassword = "1234";
    dialog.m_nCopies = options;
    dialog.m_strUserName = "fuzz";
    dialog.m_hCmdLib =
        std::make_unique<test::StringTableModule>(test::TemplatesForType(dialog.m_nPrinterType));
    CString header;
    if (dialog.ComposeJobHeader(header) && !header.empty()) {
        Check(header.size() >= 2 && header.compare(header.size() - 2, 2, "\r\n") == 0);
    }
    return 0;
}
