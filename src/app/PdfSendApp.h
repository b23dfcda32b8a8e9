// The application object: owns the PDF's path and file name and the resource library for the
// whole run, and checks the input file before any window opens.
#pragma once

#include "platform/modules/Modules.h"
#include "platform/wintypes.h"

#include <cstdint>
#include <memory>

namespace nv {

// Results of CheckInputFile.
enum InputCheckResult : int {
    kInputNotFound = -1,    // the file does not exist, or the path is invalid (message 1503)
    kInputInUse = 0,        // another program holds the file open (message 1505)
    kInputIsPdf = 1,        // a PDF: start-up goes on
    kInputNotSupported = 3, // wrong extension, or no "%PDF-" marker (message 1506)
};

// Results of CheckPdfVersion.
enum PdfVersionResult : int {
    kVersionUnchecked = 0, // no printer version, the file does not open, or no header line
    kVersionSupported = 1, // the printer handles the file's version
    kVersionTooNew = 2,    // the file is newer than the printer supports
};

class CPdfSendApp {
public:
    // Classifies PATH (taken whole, never cut) as a readable PDF or not: the extension must be
    // "pdf" in any case, the file must open exclusively, and its first 1126 bytes must hold
    // "%PDF-". Returns an InputCheckResult; the file is closed again before returning.
    int CheckInputFile(CString path) const;

    // Compares the version in the header line of the PDF at m_strFilePath with the "PDFVersion"
    // that the capability file CAPFILE gives the model of DRIVERNAME. Returns a
    // PdfVersionResult; reads the file and changes nothing.
    int CheckPdfVersion(CString driverName, CString capFile) const;

    std::uintptr_t m_dwHelpCookie = 0;
    CString m_strFilePath; // the PDF's path: the whole command line
    CString m_strFileName; // the part of the path after its last separator
    std::unique_ptr<platform::ResourceModule> m_hResLib;
};

} // namespace nv
