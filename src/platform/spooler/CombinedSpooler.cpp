#include "platform/spooler/CombinedSpooler.h"

namespace nv::platform {

CombinedSpooler::CombinedSpooler(std::vector<std::unique_ptr<ISpooler>> parts)
    : parts_(std::move(parts)) {}

std::vector<PrinterInfo> CombinedSpooler::EnumPrinters() {
    std::vector<PrinterInfo> result;
    for (const auto& part : parts_) {
        std::vector<PrinterInfo> listed = part->EnumPrinters();
        result.insert(result.end(), listed.begin(), listed.end());
    }
    return result;
}

std::unique_ptr<IPrinter> CombinedSpooler::OpenPrinter(const CString& name) {
    for (const auto& part : parts_) {
        if (auto printer = part->OpenPrinter(name)) {
            return printer;
        }
    }
    return nullptr;
}

CString CombinedSpooler::GetDefaultPrinter() {
    for (const auto& part : parts_) {
        CString name = part->GetDefaultPrinter();
        if (!name.empty()) {
            return name;
        }
    }
    return {};
}

} // namespace nv::platform
