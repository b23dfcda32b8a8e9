// Which installed printers Norvane supports: a printer is supported when its driver lists a
// capability file that marks the driver's model as printable directly.
#include "printer/PrinterDiscovery.h"

#include "platform/profile/Profile.h"
#include "printer/CapabilityFile.h"

#include <cstddef>
#include <string_view>

namespace nv {

namespace {

constexpr const char* kCapabilitySuffix = ".cap";
constexpr const char* kCapabilityPrefix = "nv";

// Both separators are taken: the driver records give paths in the platform's form, and '\'
// stands in no file name a driver lists.
bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

std::size_t lastSeparator(const CString& path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (isSeparator(path[i - 1])) {
            return i - 1;
        }
    }
    return CString::npos;
}

bool equalsIgnoringAsciiCase(std::string_view text, std::string_view lowerCase) {
    if (text.size() != lowerCase.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c =
            (text[i] >= 'A' && text[i] <= 'Z') ? static_cast<char>(text[i] + 32) : text[i];
        if (c != lowerCase[i]) {
            return false;
        }
    }
    return true;
}

// A dependent file is a capability-file candidate when it ends in ".cap" and its file name
// begins with "nv", both without regard to case.
bool isCandidate(const CString& entry) {
    const std::string_view suffix = kCapabilitySuffix;
    const std::string_view prefix = kCapabilityPrefix;
    if (entry.size() < suffix.size() ||
        !equalsIgnoringAsciiCase(std::string_view(entry).substr(entry.size() - suffix.size()),
                                 suffix)) {
        return false;
    }
    const std::size_t separator = lastSeparator(entry);
    const std::string_view name =
        std::string_view(entry).substr(separator == CString::npos ? 0 : separator + 1);
    return name.size() >= prefix.size() &&
           equalsIgnoringAsciiCase(name.substr(0, prefix.size()), prefix);
}

} // namespace

CapabilityFileSearch FindCapabilityFile(platform::ISpooler& spooler, const CString& printerName) {
    CapabilityFileSearch search;
    platform::DriverInfo driver;
    if (!spooler.GetPrinterDriver(printerName, &driver)) {
        return search;
    }
    for (const CString& entry : driver.dependentFiles) {
        if (entry.empty()) {
            break; // the list ends at its first empty entry
        }
        if (!isCandidate(entry)) {
            continue;
        }
        // The driver's folder comes from its record: cutting the driver path at its last
        // separator would split a driver name that holds a backslash.
        search.driverDir = driver.directory;
        const CString path =
            lastSeparator(entry) != CString::npos ? entry : driver.directory + entry;
        const CString model = LookUpModelSection(path, driver.name);
        const UINT flags =
            platform::GetPrivateProfileIntA(model.c_str(), "DirectPrint", 0, path.c_str());
        if ((flags & kDirectPrintSupported) != 0) {
            search.capFile = path;
            return search;
        }
    }
    return search;
}

} // namespace nv
