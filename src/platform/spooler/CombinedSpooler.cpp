#include "platform/spooler/CombinedSpooler.h"

namespace nv::platform {

CombinedSpooler::CombinedSpooler(std::vector<std::unique_ptr<ISpooler>> parts)
    : parts_(std::move(parts)) {}

std::vector<PrinterInfo> CombinedSpooler::EnumPrinters() {
    std::vector<PrinterInfo> result;
    listedBy_.clear();
    for (std::size_t i = 0; i < parts_.size(); ++i) {
        std::vector<PrinterInfo> listed = parts_[i]->EnumPrinters();
        for (const PrinterInfo& printer : listed) {
            listedBy_.emplace(printer.name, i); // the first part listing a name keeps it
        }
        result.insert(result.end(), std::make_move_iterator(listed.begin()),
                      std::make_move_iterator(listed.end()));
    }
    return result;
}

namespace {

// Asks LOOKUP of the part OWNER first (when it is one), then of every other part in order, and
// gives the first answer.
template <typename Result, typename Lookup>
Result FirstAnswer(const std::vector<std::unique_ptr<ISpooler>>& parts, std::size_t owner,
                   Lookup lookup) {
    if (owner < parts.size()) {
        if (Result result = lookup(*parts[owner])) {
            return result;
        }
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i == owner) {
            continue;
        }
        if (Result result = lookup(*parts[i])) {
            return result;
        }
    }
    return Result();
}

} // namespace

std::optional<LeftOutPrinters> CombinedSpooler::LeftOut() const {
    std::optional<LeftOutPrinters> total;
    for (const std::unique_ptr<ISpooler>& part : parts_) {
        const std::optional<LeftOutPrinters> left = part->LeftOut();
        if (!left) {
            continue;
        }
        if (!total) {
            total = left;
        } else {
            total->count += left->count;
            total->atLeast = total->atLeast || left->atLeast;
        }
    }
    return total;
}

std::size_t CombinedSpooler::OwnerOf(const CString& name) const {
    const auto listed = listedBy_.find(name);
    return listed == listedBy_.end() ? parts_.size() : listed->second;
}

std::optional<PrinterInfo> CombinedSpooler::FindPrinter(const CString& name) {
    return FirstAnswer<std::optional<PrinterInfo>>(
        parts_, OwnerOf(name), [&](ISpooler& part) { return part.FindPrinter(name); });
}

std::unique_ptr<IPrinter> CombinedSpooler::OpenPrinter(const CString& name) {
    return FirstAnswer<std::unique_ptr<IPrinter>>(
        parts_, OwnerOf(name), [&](ISpooler& part) { return part.OpenPrinter(name); });
}

BOOL CombinedSpooler::GetPrinterDriver(const CString& name, DriverInfo* info) {
    return FirstAnswer<BOOL>(parts_, OwnerOf(name),
                             [&](ISpooler& part) { return part.GetPrinterDriver(name, info); });
}

// A queue's state and its jobs belong to the part that listed it: a direct printer's are never
// asked of the scheduler.
std::optional<QueueStatus> CombinedSpooler::GetQueueStatus(const CString& name) {
    const std::size_t owner = OwnerOf(name);
    if (owner < parts_.size()) {
        return parts_[owner]->GetQueueStatus(name);
    }
    return FirstAnswer<std::optional<QueueStatus>>(
        parts_, owner, [&](ISpooler& part) { return part.GetQueueStatus(name); });
}

std::optional<JobState> CombinedSpooler::GetJobState(const CString& printer, DWORD job) {
    const std::size_t owner = OwnerOf(printer);
    if (owner < parts_.size()) {
        return parts_[owner]->GetJobState(printer, job);
    }
    return FirstAnswer<std::optional<JobState>>(
        parts_, owner, [&](ISpooler& part) { return part.GetJobState(printer, job); });
}

SchedulerSilence CombinedSpooler::SchedulerProblem(CString* server) const {
    for (const auto& part : parts_) {
        const SchedulerSilence problem = part->SchedulerProblem(server);
        if (problem != SchedulerSilence::none) {
            return problem;
        }
    }
    return SchedulerSilence::none;
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
