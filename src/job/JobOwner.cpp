#include "job/JobOwnerAbi.h"
#include "job/JobOwnerQuery.h"
#include "job/PjlText.h"
#include "platform/account/Account.h"
#include "platform/modules/Modules.h"
#include "platform/text/PrinterText.h"

#include <cstring>
#include <memory>
#include <vector>

namespace nv {

namespace {

constexpr const char* kJobLogLibrary = "nvlogext.dll";
constexpr const char* kUnknownUser = "PDFError";
// A job-info library asking for more than this (or for nothing) is not trusted with a buffer.
constexpr std::uint32_t kJobInfoBufferMax = 64 * 1024;
// Zeroed room handed to a side library beyond what it asked for or what the record holds, so a
// library that writes more than it said stays in memory of its own.
constexpr std::size_t kSideLibraryRoom = 64 * 1024;
constexpr DWORD kUserNameSize = 260;

// The name of the user the process runs as, "PDFError" when it has none.
CString processUserName() {
    std::vector<char> buffer(kUserNameSize, '\0');
    DWORD size = kUserNameSize;
    if (platform::GetUserNameA(buffer.data(), &size)) {
        return CString(buffer.data());
    }
    if (size > kUserNameSize && size <= kJobInfoBufferMax) {
        buffer.assign(size, '\0');
        if (platform::GetUserNameA(buffer.data(), &size)) {
            return CString(buffer.data());
        }
    }
    return kUnknownUser;
}

template <typename Function>
Function entryPoint(const platform::CodeModule& module, const char* name) {
    void* address = module.GetProcAddress(name);
    Function function = nullptr;
    static_assert(sizeof(function) == sizeof(address));
    std::memcpy(&function, &address, sizeof(function));
    return function;
}

// The command LIBRARY gives for the job; empty when it gives none. The library takes and gives
// its texts in the printer family's code page.
CString jobInfoCommand(const platform::CodeModule& library, const JobOwnerQuery& query) {
    const std::string printerName = platform::text::ToPrinterText(query.printerName);
    const std::string capFile = platform::text::ToPrinterText(query.capFile);
    const std::string fileName = platform::text::ToPrinterText(query.fileName);
    JobInfoRequest request{printerName.c_str(),
                           capFile.c_str(),
                           fileName.c_str(),
                           nullptr,
                           nullptr,
                           nullptr,
                           1,
                           32,
                           1};
    const auto getJobInfoCmd = entryPoint<PfnGetJobInfoCmd>(library, "GetJobInfoCmd");
    if (getJobInfoCmd == nullptr) {
        return CString();
    }
    std::uint32_t size = 0;
    getJobInfoCmd(1, &request, nullptr, &size);
    if (size == 0 || size > kJobInfoBufferMax) {
        return CString();
    }
    // The library is told SIZE bytes but gets generous zeroed room beyond them; only the SIZE
    // bytes it asked for are read back.
    std::vector<char> buffer(static_cast<std::size_t>(size) + kSideLibraryRoom, '\0');
    std::uint32_t count = size;
    if (getJobInfoCmd(1, &request, buffer.data(), &count) != 0) {
        return CString();
    }
    const std::string_view command(buffer.data(), strnlen(buffer.data(), size));
    // The command goes into the header as it is: a control byte other than a line end (an
    // escape above all, which could end the job early) makes it a failed fill.
    return HoldsOnlyPjlLines(command) ? platform::text::FromPrinterText(command) : CString();
}

// The job-log library's record with zeroed room after it for a library that writes more.
struct RoomyAccountRecord {
    JobAccountRecord record;
    char room[kSideLibraryRoom];
};

// The side library NAME in the driver folder DRIVERDIR, by absolute path; nothing when NAME is
// not a plain file name (empty, absolute, or holding a path separator or "..") or DRIVERDIR is
// not an absolute folder, so that no library is ever looked up on a search path.
std::unique_ptr<platform::CodeModule> loadSideLibrary(const CString& driverDir,
                                                      const CString& name) {
    if (!platform::IsPlainFileName(name) || !platform::IsAbsolutePath(driverDir)) {
        return nullptr;
    }
    return platform::CodeModule::Load(platform::NativeCodeModuleName(driverDir + name));
}

} // namespace

std::optional<JobOwner> GatherJobOwner(const JobOwnerQuery& query, JobOwner owner) {
    if (query.jobInfoLibrary) {
        std::unique_ptr<platform::CodeModule> library =
            loadSideLibrary(query.driverDir, *query.jobInfoLibrary);
        if (!library) {
            return std::nullopt;
        }
        owner.m_strJobInfoCmd = jobInfoCommand(*library, query);
        return owner;
    }

    const CString userName = processUserName();
    std::unique_ptr<platform::CodeModule> library =
        loadSideLibrary(query.driverDir, kJobLogLibrary);
    owner.m_bHasJobLog = library ? TRUE : FALSE;
    owner.m_nAccountId = 0;
    owner.m_strUserName = userName;
    if (!library) {
        return owner;
    }
    const auto readJobAccountID = entryPoint<PfnReadJobAccountID>(*library, "ReadJobAccountID");
    auto roomy = std::make_unique<RoomyAccountRecord>();
    std::memset(roomy.get(), 0, sizeof(RoomyAccountRecord));
    JobAccountRecord& record = roomy->record;
    const std::string printerName = platform::text::ToPrinterText(query.printerName);
    if (readJobAccountID != nullptr && readJobAccountID(printerName.c_str(), 0, &record) != 0) {
        owner.m_nAccountId = record.nAccountId;
        owner.m_strUserName = platform::text::FromPrinterText(
            {record.szUserName, strnlen(record.szUserName, sizeof(record.szUserName))});
    }
    return owner;
}

} // namespace nv
