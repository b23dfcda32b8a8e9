#include "printer/CapabilityFile.h"
#include "printer/PdfFile.h"
#include "printer/PdfHeader.h"

namespace nv {

bool ReadLeadingBytes(platform::ExclusiveFile& file, std::size_t maxBytes, std::string& bytes) {
    bytes.assign(maxBytes, '\0');
    std::size_t filled = 0;
    while (filled < maxBytes) {
        const std::int64_t got = file.Read(bytes.data() + filled, maxBytes - filled);
        if (got < 0) {
            bytes.clear();
            return false;
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return true;
}

PdfVersionResult CheckPdfVersion(const CString& filePath, const CString& driverName,
                                 const CString& capFile) {
    const CString printerText = ReadPrinterPdfVersion(capFile, driverName);
    if (printerText.empty()) {
        return kVersionUnchecked;
    }

    std::string header;
    {
        auto file = platform::ExclusiveFile::Open(filePath, nullptr);
        if (!file) {
            return kVersionUnchecked;
        }
        // A text-mode read of kPdfHeaderWindow characters takes at most twice as many bytes,
        // plus one to see whether a CR at the end is followed by LF.
        std::string raw;
        if (!ReadLeadingBytes(*file, 2 * kPdfHeaderWindow + 1, raw)) {
            return kVersionUnchecked;
        }
        header = TranslateTextMode(raw, kPdfHeaderWindow);
    }
    const auto line = FindPdfHeaderLine(header);
    if (!line) {
        return kVersionUnchecked;
    }
    const PdfVersion fileVersion = ParsePdfVersion(VersionTextOfHeaderLine(*line));
    const PdfVersion printerVersion = ParsePdfVersion(printerText);
    return fileVersion > printerVersion ? kVersionTooNew : kVersionSupported;
}

} // namespace nv
