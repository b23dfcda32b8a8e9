// norvane-inspect check PDF: the input check's result for a file, as the program makes it at
// start-up: the result code, a tab, its meaning. The exit status is 1 when the file could not
// be opened (results -1 and 0).
#include "app/PdfSendApp.h"
#include "commands.h"

#include <cstdio>

namespace nv::inspect {

int runCheck(int argc, char** argv) {
    if (argc != 1) {
        std::fprintf(stderr, "usage: norvane-inspect check PDF\n");
        return 2;
    }
    const int result = CPdfSendApp().CheckInputFile(argv[0]);
    const char* meaning = "unknown result";
    switch (result) {
    case kInputNotFound:
        meaning = "the file does not exist, or the path is invalid";
        break;
    case kInputInUse:
        meaning = "the file is in use by another program";
        break;
    case kInputIsPdf:
        meaning = "the file is a PDF";
        break;
    case kInputNotSupported:
        meaning = "not supported: wrong extension, or no %PDF- header marker";
        break;
    default:
        break;
    }
    std::printf("%d\t%s\n", result, meaning);
    return result == kInputNotFound || result == kInputInUse ? 1 : 0;
}

} // namespace nv::inspect
