// The job owner: a command from the model's job-info library, or the account and user name of
// the job-log library, or the user the process runs as; and the owner piece of the header.
#include "app/PdfSendApp.h"
#include "dialog/PdfSendDlg.h"
#include "job/CommandTemplates.h"
#include "job/PjlText.h"
#include "platform/account/Account.h"
#include "platform/modules/Modules.h"

#include <cstring>
#include <memory>
#include <vector>

namespace nv {

namespace {

constexpr const char* kJobLogLibrary = "nvlogext.dll";
constexpr const char* kUnknownUser = "PDFError";
// A job-info command is at most this long in the header.
constexpr std::size_t kJobInfoCommandMax = 1023;
// A job-info library asking for more than this (or for nothing) is not trusted with a buffer.
constexpr std::uint32_t kJobInfoBufferMax = 64 * 1024;
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

} // namespace

int CPdfSendDlg::GetJobOwnerInfo() {
    const CString fileName = m_pApp != nullptr ? m_pApp->m_strFileName : CString();

    if (m_bHasJobInfoDll) {
        std::unique_ptr<platform::CodeModule> library = platform::CodeModule::Load(
            platform::NativeCodeModuleName(m_strDriverDir + m_strJobInfoDll));
        if (!library) {
            m_bHasJobInfoDll = FALSE;
            return 1;
        }
        m_bHasJobInfoDll = TRUE;
        JobInfoRequest request{m_strPrinterName.c_str(),
                               m_strCapFile.c_str(),
                               fileName.c_str(),
                               nullptr,
                               nullptr,
                               nullptr,
                               1,
                               32,
                               1};
        m_pfnGetJobInfoCmd = entryPoint<PfnGetJobInfoCmd>(*library, "GetJobInfoCmd");
        m_strJobInfoCmd.clear();
        if (m_pfnGetJobInfoCmd != nullptr) {
            std::uint32_t size = 0;
            m_pfnGetJobInfoCmd(1, &request, nullptr, &size);
            if (size > 0 && size <= kJobInfoBufferMax) {
                // One byte beyond what the library was told, so the text always ends in ours.
                std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
                std::uint32_t count = size;
                if (m_pfnGetJobInfoCmd(1, &request, buffer.data(), &count) == 0) {
                    m_strJobInfoCmd = CString(buffer.data());
                }
            }
        }
        m_pfnGetJobInfoCmd = nullptr;
        return 1;
    }

    const CString userName = processUserName();
    std::unique_ptr<platform::CodeModule> library =
        platform::CodeModule::Load(platform::NativeCodeModuleName(m_strDriverDir + kJobLogLibrary));
    if (!library) {
        m_bHasJobLog = FALSE;
        m_nAccountId = 0;
        m_strUserName = userName;
        return 1;
    }
    m_bHasJobLog = TRUE;
    m_pfnReadJobAccountID = entryPoint<PfnReadJobAccountID>(*library, "ReadJobAccountID");
    auto record = std::make_unique<JobAccountRecord>();
    std::memset(record.get(), 0, sizeof(JobAccountRecord));
    const int found = m_pfnReadJobAccountID != nullptr
                          ? m_pfnReadJobAccountID(m_strPrinterName.c_str(), 0, record.get())
                          : 0;
    if (found != 0) {
        m_nAccountId = record->nAccountId;
        m_strUserName =
            CString(record->szUserName, strnlen(record->szUserName, sizeof(record->szUserName)));
    } else {
        m_nAccountId = 0;
        m_strUserName = userName;
    }
    m_pfnReadJobAccountID = nullptr;
    return 1;
}

int CPdfSendDlg::MakeJobOwnerCmd(CString& piece) {
    piece.clear();
    if (m_bHasJobInfoDll) {
        piece = m_strJobInfoCmd.substr(0, kJobInfoCommandMax);
        return 1;
    }
    using Arg = CommandArg;
    const platform::ResourceModule* library = m_hCmdLib.get();
    // The owner piece is a job ticket: the names are attribute values there, and neither may
    // add an attribute of its own (a file named "x;user=mallory.pdf").
    const CString user = PjlAttributeValue(m_strUserName);
    const CString document =
        m_pApp != nullptr ? PjlAttributeValue(m_pApp->m_strFileName) : CString();
    if (m_bHasJobLog && m_nAccountId != 0) {
        return FormatCommand(library, cmd::kJobOwnerAccount, kPieceSize,
                             {Arg::Int(m_nAccountId), Arg::FreeText(user), Arg::FreeText(document),
                              Arg::Text(kLineEnd)},
                             piece);
    }
    return FormatCommand(library, cmd::kJobOwner, kPieceSize,
                         {Arg::FreeText(user), Arg::FreeText(document), Arg::Text(kLineEnd)},
                         piece);
}

} // namespace nv
