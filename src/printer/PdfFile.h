// Reading the first bytes of a PDF that is open exclusively, and checking that a printer
// understands the PDF's version.
#pragma once

#include "platform/files/Files.h"
#include "platform/wintypes.h"

#include <cstddef>
#include <string>

namespace nv {

// Reads from the current position of FILE until MAXBYTES bytes are read or the file ends, into
// BYTES. Returns false on a read error.
bool ReadLeadingBytes(platform::ExclusiveFile& file, std::size_t maxBytes, std::string& bytes);

// Results of CheckPdfVersion.
enum PdfVersionResult : int {
    kVersionUnchecked = 0, // no printer version, the file does not open, or no header line
    kVersionSupported = 1, // the printer handles the file's version
    kVersionTooNew = 2,    // the file is newer than the printer supports
};

// Compares the version in the header line of the PDF at FILEPATH with the "PDFVersion" that the
// capability file CAPFILE gives the model of DRIVERNAME. Reads the file and changes nothing.
PdfVersionResult CheckPdfVersion(const CString& filePath, const CString& driverName,
                                 const CString& capFile);

} // namespace nv
