// Reads arbitrary bytes as a REGEDIT4 file, writes what was read and reads that again: the
// parser must never crash, whatever it reads must survive a write unchanged, and a file it
// would write back keeps every line it could not read.
#include "platform/registry/RegFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace nv::platform;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const Hive first = ParseRegFile(input);
    const std::string written = SerializeRegFile(first);
    std::size_t unreadable = 0;
    const Hive second = ParseRegFile(written, &unreadable);
    if (unreadable != 0 || !(second == first) || SerializeRegFile(second) != written) {
        std::abort();
    }
    const RegFileContent file = ReadRegFile(input);
    if (file.rewritable) {
        const std::string rewritten = WriteRegFile(file.hive, file.kept);
        const RegFileContent back = ReadRegFile(rewritten);
        if (!back.rewritable || !(back.hive == file.hive) || back.kept != file.kept ||
            WriteRegFile(back.hive, back.kept) != rewritten) {
            std::abort();
        }
    }
    return 0;
}
