// norvane-inspect capability CAPFILE DRIVERNAME: what the program makes of a capability file
// for one driver, as "name<TAB>value" lines: the reader's result and the values it sets ("-"
// for a value a failed read leaves unset), one "paper<TAB>key<TAB>value" line per paper source
// the model offers, in list order, with the value as the file holds it, and the printer's PDF
// version text, and whether the dialog offers a page range ("page-range<TAB>no<TAB>reason" when
// the dialect's job header would leave it out). The message an unknown printer type shows goes
// to standard error.
#include "printer/Capability.h"

#include "app/PdfSendApp.h"
#include "commands.h"
#include "job/JobHeader.h"
#include "platform/files/Files.h"
#include "platform/format/Placeholders.h"
#include "platform/modules/Modules.h"
#include "platform/modules/UserLanguage.h"
#include "platform/ui/StderrMessageBox.h"
#include "printer/CapabilityFile.h"
#include "resources/ResourceIds.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace nv::inspect {

namespace {

// The value a member holds while no read has set it: no reading of the file produces it.
constexpr BOOL kUnsetFlag = -1;
constexpr UINT kUnsetType = 0xFFFFFFFFu;

void PrintFlag(const char* name, BOOL value) {
    if (value == kUnsetFlag) {
        std::printf("%s\t-\n", name);
    } else {
        std::printf("%s\t%d\n", name, static_cast<int>(value));
    }
}

// Shows the unknown-type message as the dialog does, with the texts of the resource library
// beside the program (none: empty texts).
void ShowUnknownType() {
    const std::unique_ptr<platform::ResourceModule> texts =
        platform::ResourceModule::Load(platform::GetProgramDirectory() + "Norvres.dll");
    const auto text = [&](UINT id) { return texts ? texts->LoadText(id) : std::string(); };
    platform::StderrMessageBox messages;
    messages.Show(text(res::str::kBadPrinterType), text(res::str::kErrorCaption),
                  platform::MB_ICONEXCLAMATION | platform::MB_OK, true);
}

// Why the model's job header carries no page range, in the resource library's language.
std::string NoRangeReason(const PrinterCapability& capability) {
    const std::unique_ptr<platform::ResourceModule> texts = platform::ResourceModule::Load(
        ChooseResourceLibrary(platform::GetProgramDirectory(), platform::UserLanguages()));
    const UINT id = capability.m_bOpenEndRange && capability.m_nPrinterType != kDialectPlain
                        ? res::str::kCliOpenRangeNotCarried
                        : res::str::kCliRangeNotCarried;
    return texts ? platform::FillPlaceholders(
                       texts->LoadText(id),
                       {std::to_string(static_cast<unsigned>(capability.m_nPrinterType))})
                 : std::string();
}

} // namespace

int runCapability(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: norvane-inspect capability CAPFILE DRIVERNAME\n");
        return 2;
    }
    const std::string capFile = argv[0];
    const std::string driverName = argv[1];

    PrinterCapability capability;
    capability.m_nPrinterType = static_cast<PrinterDialect>(kUnsetType);
    std::vector<std::pair<const char*, BOOL*>> flags = {
        {"m_bCanCollate", &capability.m_bCanCollate},
        {"m_bCanDuplex", &capability.m_bCanDuplex},
        {"m_bRangeWithDuplex", &capability.m_bRangeWithDuplex},
        {"m_bCanPageRange", &capability.m_bCanPageRange},
        {"m_bCanFitToPage", &capability.m_bCanFitToPage},
        {"m_bOpenEndRange", &capability.m_bOpenEndRange},
        {"m_bCanPassword", &capability.m_bCanPassword},
        {"m_bRangeWithCopies", &capability.m_bRangeWithCopies},
        {"m_bHasJobInfoDll", &capability.m_bHasJobInfoDll},
    };
    for (auto& flag : flags) {
        *flag.second = kUnsetFlag;
    }

    const CapabilityRead read = ReadCapability(driverName, capFile, capability);
    if (read == CapabilityRead::unknownType) {
        ShowUnknownType();
    }
    std::printf("result\t%d\n", read == CapabilityRead::taken ? 1 : 0);
    if (capability.m_nPrinterType == kUnsetType) {
        std::printf("m_nPrinterType\t-\n");
    } else {
        std::printf("m_nPrinterType\t%u\n", static_cast<UINT>(capability.m_nPrinterType));
    }
    for (const auto& flag : flags) {
        PrintFlag(flag.first, *flag.second);
    }
    if (capability.m_bHasJobInfoDll == kUnsetFlag) {
        std::printf("m_strJobInfoDll\t-\n");
    } else {
        std::printf("m_strJobInfoDll\t%s\n", capability.m_strJobInfoDll.c_str());
    }

    // What the dialog offers: a range the dialect's job header leaves out is not offered.
    if (read == CapabilityRead::taken) {
        if (!capability.m_bCanPageRange) {
            std::printf("page-range\tno\n");
        } else if (HeaderCarriesPageRange(capability.m_nPrinterType, capability.m_bOpenEndRange)) {
            std::printf("page-range\tyes\n");
        } else {
            std::printf("page-range\tno\t%s\n", NoRangeReason(capability).c_str());
        }
    }

    const CString section = LookUpPaperSourceSection(capFile, driverName);
    for (const TrayKey& tray : OfferedPaperSources(capFile, driverName)) {
        const CString value = ReadCapabilityText(capFile, section, tray.key, "");
        std::printf("paper\t%s\t%s\n", tray.key, value.c_str());
    }
    std::printf("pdf-version\t%s\n", ReadPrinterPdfVersion(capFile, driverName).c_str());

    std::error_code error;
    return std::filesystem::is_regular_file(capFile, error) ? 0 : 1;
}

} // namespace nv::inspect
