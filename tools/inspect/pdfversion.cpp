// norvane-inspect pdf-version PDF CAPFILE DRIVERNAME: the version check the program makes when
// Print is pressed: the result code, a tab, its meaning. The exit status is 1 when the check
// could not be made (result 0).
#include "commands.h"
#include "printer/PdfFile.h"

#include <cstdio>

namespace nv::inspect {

int runPdfVersion(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: norvane-inspect pdf-version PDF CAPFILE DRIVERNAME\n");
        return 2;
    }
    const int result = CheckPdfVersion(argv[0], argv[2], argv[1]);
    const char* meaning = "unknown result";
    switch (result) {
    case kVersionUnchecked:
        meaning = "cannot check: the printer's version is empty, the file does not open, or it "
                  "has no header line";
        break;
    case kVersionSupported:
        meaning = "the printer handles the file's version";
        break;
    case kVersionTooNew:
        meaning = "the file is newer than the printer supports";
        break;
    default:
        break;
    }
    std::printf("%d\t%s\n", result, meaning);
    return result == kVersionUnchecked ? 1 : 0;
}

} // namespace nv::inspect
