#include "job/PrintJob.h"

namespace nv {

std::optional<CString> DatatypeForCapabilityFile(const CString& capFile) {
    const CString lastFive = capFile.size() > 5 ? capFile.substr(capFile.size() - 5) : capFile;
    if (lastFive.empty()) {
        return std::nullopt;
    }
    char first = lastFive[0];
    if (first >= 'A' && first <= 'Z') {
        first = static_cast<char>(first - 'A' + 'a');
    }
    for (const char marker : {'t', 'd', 'y', 'i', 'g'}) {
        if (first == marker) {
            return CString("XPS_PASS");
        }
    }
    return std::nullopt;
}

} // namespace nv
