// norvane-inspect capability CAPFILE DRIVERNAME: what the print-settings dialog makes of a
// capability file for one driver, as "name<TAB>value" lines: the loader's result and the
// members it sets ("-" for a member a failed load leaves unset), one "paper<TAB>key<TAB>value"
// line per paper source the list offers, in list order, with the value as the file holds it,
// and the printer's PDF version text. A message the load shows goes to standard error.
#include "app/PdfSendApp.h"
#include "commands.h"
#include "dialog/PdfSendDlg.h"
#include "platform/files/Files.h"
#include "platform/modules/Modules.h"
#include "platform/ui/DialogSurface.h"
#include "platform/ui/StderrMessageBox.h"
#include "printer/CapabilityFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace nv::inspect {

namespace {

// The value a member holds while no load has set it: no reading of the file produces it.
constexpr BOOL kUnsetFlag = -1;
constexpr UINT kUnsetType = 0xFFFFFFFFu;

// The resource library's texts, except that each paper source is shown by its tray key, so
// that the list's entries name the keys whatever the library's language.
class TrayKeyTexts : public platform::ResourceModule {
public:
    explicit TrayKeyTexts(std::unique_ptr<platform::ResourceModule> library)
        : library_(std::move(library)) {}

    int LoadStringA(UINT id, char* buffer, int bufferMax) const override {
        for (const TrayKey& tray : kTrayKeys) {
            if (tray.textId == id) {
                if (bufferMax <= 0) {
                    return -1;
                }
                const std::string key(tray.key);
                const std::size_t length =
                    std::min(key.size(), static_cast<std::size_t>(bufferMax) - 1);
                key.copy(buffer, length);
                buffer[length] = '\0';
                return static_cast<int>(length);
            }
        }
        if (library_) {
            return library_->LoadStringA(id, buffer, bufferMax);
        }
        if (bufferMax <= 0) {
            return -1;
        }
        buffer[0] = '\0';
        return 0;
    }
    std::vector<std::uint8_t> FindResourceData(UINT type, UINT id) const override {
        return library_ ? library_->FindResourceData(type, id) : std::vector<std::uint8_t>();
    }

private:
    std::unique_ptr<platform::ResourceModule> library_;
};

void PrintFlag(const char* name, BOOL value) {
    if (value == kUnsetFlag) {
        std::printf("%s\t-\n", name);
    } else {
        std::printf("%s\t%d\n", name, static_cast<int>(value));
    }
}

} // namespace

int runCapability(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: norvane-inspect capability CAPFILE DRIVERNAME\n");
        return 2;
    }
    const std::string capFile = argv[0];
    const std::string driverName = argv[1];

    const TrayKeyTexts texts(
        platform::ResourceModule::Load(platform::GetProgramDirectory() + "Norvres.dll"));
    platform::StderrMessageBox messages;
    CPdfSendApp app;
    CPdfSendDlg dialog(&app, DialogServices{&messages, &texts});
    dialog.m_strDriverName = driverName;
    dialog.m_strCapFile = capFile;
    dialog.m_nPrinterType = kUnsetType;
    std::vector<std::pair<const char*, BOOL*>> flags = {
        {"m_bCanCollate", &dialog.m_bCanCollate},
        {"m_bCanDuplex", &dialog.m_bCanDuplex},
        {"m_bRangeWithDuplex", &dialog.m_bRangeWithDuplex},
        {"m_bCanPageRange", &dialog.m_bCanPageRange},
        {"m_bCanFitToPage", &dialog.m_bCanFitToPage},
        {"m_bOpenEndRange", &dialog.m_bOpenEndRange},
        {"m_bCanPassword", &dialog.m_bCanPassword},
        {"m_bRangeWithCopies", &dialog.m_bRangeWithCopies},
        {"m_bHasJobInfoDll", &dialog.m_bHasJobInfoDll},
    };
    for (auto& flag : flags) {
        *flag.second = kUnsetFlag;
    }

    const int result = dialog.LoadCapability(dialog.m_strDriverName, dialog.m_strCapFile);
    std::printf("result\t%d\n", result);
    if (dialog.m_nPrinterType == kUnsetType) {
        std::printf("m_nPrinterType\t-\n");
    } else {
        std::printf("m_nPrinterType\t%u\n", dialog.m_nPrinterType);
    }
    for (const auto& flag : flags) {
        PrintFlag(flag.first, *flag.second);
    }
    if (dialog.m_bHasJobInfoDll == kUnsetFlag) {
        std::printf("m_strJobInfoDll\t-\n");
    } else {
        std::printf("m_strJobInfoDll\t%s\n", dialog.m_strJobInfoDll.c_str());
    }

    platform::DialogSurface surface;
    platform::ComboBox& list = surface.AddComboBox(1006);
    dialog.m_pPaperSourceList = &list;
    dialog.FillPaperSourceList(0);
    const CString section = LookUpPaperSourceSection(capFile, driverName);
    for (int i = 0; i < list.GetCount(); ++i) {
        CString key;
        list.GetLBText(i, key);
        const CString value = ReadCapabilityText(capFile, section, key.c_str(), "");
        std::printf("paper\t%s\t%s\n", key.c_str(), value.c_str());
    }
    std::printf("pdf-version\t%s\n", ReadPrinterPdfVersion(capFile, driverName).c_str());

    std::error_code error;
    return std::filesystem::is_regular_file(capFile, error) ? 0 : 1;
}

} // namespace nv::inspect
