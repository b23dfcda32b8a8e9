// Feeds arbitrary bytes as the start of a PDF to the header scan, the text-mode translation
// and the version parse, and as a whole file to the input check and the version check.
// Checks the scan's promise: a header line is found exactly when the bytes hold "%PDF-", and
// it lies within them without a line end.
#include "app/PdfSendApp.h"
#include "printer/PdfHeader.h"
#include "support/TempDir.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Where the input is written, in a folder removed when the process ends.
std::string ScratchPath(const char* name) {
    static const nv::test::TempDir folder;
    return (folder.Path() / name).string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace nv;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const auto line = FindPdfHeaderLine(bytes);
    Check(line.has_value() == (bytes.find(kPdfMarker) != std::string_view::npos));
    if (line) {
        Check(line->data() >= bytes.data() && line->data() + line->size() <= bytes.data() + size);
        Check(line->find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos);
        Check(line->find(kPdfMarker) != std::string_view::npos);
        ParsePdfVersion(VersionTextOfHeaderLine(*line));
    }
    const std::string text = TranslateTextMode(bytes, kPdfHeaderWindow);
    Check(text.size() <= kPdfHeaderWindow && text.find('\x1A') == std::string::npos);
    ParsePdfVersion(bytes);

    {
        std::ofstream out(ScratchPath("doc.pdf"), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(size));
    }
    CPdfSendApp app;
    app.m_strFilePath = ScratchPath("doc.pdf");
    const int input = app.CheckInputFile(app.m_strFilePath);
    Check(input == kInputIsPdf || input == kInputNotSupported);
    const int version = app.CheckPdfVersion("Q1", ScratchPath("absent.cap"));
    Check(version >= kVersionUnchecked && version <= kVersionTooNew);
    return 0;
}
