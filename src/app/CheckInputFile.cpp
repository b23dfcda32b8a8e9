// The input file check made at start-up, before any window opens.
#include "app/PdfSendApp.h"
#include "printer/PdfFile.h"
#include "printer/PdfHeader.h"

#include <cstddef>

namespace nv {

namespace {

// The part after the last '.', the whole path when it has none, with ASCII letters lowered
// (the other bytes of UTF-8 text have no case to change).
CString lowerCaseExtension(const CString& path) {
    const std::size_t dot = path.rfind('.');
    CString extension = dot == CString::npos ? path : path.substr(dot + 1);
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return extension;
}

int resultOfOpenFailure(platform::FileCause cause) {
    switch (cause) {
    case platform::FileCause::sharingViolation:
    case platform::FileCause::lockViolation:
        return kInputInUse;
    default:
        // Not found and bad paths as the platform reports them; every other failure (access
        // denied, a folder, no handles left) likewise means the file cannot be obtained.
        return kInputNotFound;
    }
}

} // namespace

int CPdfSendApp::CheckInputFile(CString path) const {
    if (lowerCaseExtension(path) != "pdf") {
        return kInputNotSupported;
    }
    platform::FileCause cause = platform::FileCause::none;
    auto file = platform::ExclusiveFile::Open(path, &cause);
    if (!file) {
        return resultOfOpenFailure(cause);
    }
    std::string head;
    if (!ReadLeadingBytes(*file, kPdfHeaderWindow, head)) {
        return kInputNotFound;
    }
    return FindPdfHeaderLine(head) ? kInputIsPdf : kInputNotSupported;
}

} // namespace nv
