// Feeds arbitrary bytes as a capability file to every reader of it: the capability reader, the
// offered paper sources, the printer's PDF version and the job header composer. The input is: one
// byte choosing the printer type, the tray key and the list mode, one byte of option flags,
// then the file's bytes. Checks that a composed header never ends without its line end.
#include "job/JobHeader.h"
#include "printer/Capability.h"
#include "printer/CapabilityFile.h"
#include "support/StringTableModule.h"
#include "support/TempDir.h"
#include "unit/job/TestCommandLibraries.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
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

    PrinterCapability capability;
    capability.m_strDriverName = "Velmora Q1";
    capability.m_strCapFile = ScratchFile();
    ReadCapability(capability.m_strDriverName, capability.m_strCapFile, capability);
    Check(capability.m_nPrinterType <= kMaxPrinterType);
    Check(OfferedPaperSources(capability.m_strCapFile, capability.m_strDriverName).size() <=
          kTrayKeys.size());
    ReadPrinterPdfVersion(capability.m_strCapFile, capability.m_strDriverName);

    capability.m_nPrinterType = static_cast<PrinterDialect>(choice % (kMaxPrinterType + 1));
    JobOptions job;
    job.m_strTrayKey = kTrayKeys[(choice >> 3) % kTrayKeys.size()].key;
    job.m_bCollate = options & 1;
    job.m_bDuplex = (options >> 1) & 1;
    job.m_nBinding = (options >> 2) & 1;
    job.m_bFitToPage = (options >> 3) & 1;
    job.m_bPageRange = (options >> 4) & 1;
    job.m_bUsePassword = (options >> 5) & 1;
    job.m_strPassword = "1234";
    job.m_nCopies = options;
    JobOwner owner;
    owner.m_strUserName = "fuzz";
    const test::StringTableModule library(test::TemplatesForType(capability.m_nPrinterType));
    const std::optional<CString> header =
        ComposeJobHeader({capability, job, owner, &library, "fuzz.pdf"});
    if (header && !header->empty()) {
        Check(header->size() >= 2 && header->compare(header->size() - 2, 2, "\r\n") == 0);
    }
    return 0;
}
