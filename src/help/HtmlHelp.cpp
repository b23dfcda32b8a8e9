#include "help/HtmlHelp.h"

#include "platform/help/HelpTopics.h"

#include <array>
#include <cstdint>

namespace nv::help {

std::string HtmlHelpBridge::RegisteredRuntimePath() {
    platform::RegistryKey key;
    if (registry_.OpenKeyEx(platform::RegistryRoot::classesRoot, kHtmlHelpClassKey,
                            platform::KEY_READ, key) != platform::ERROR_SUCCESS) {
        return {};
    }
    // The buffer starts zeroed and its last byte is never filled, so that a stored value
    // without a terminator still reads as a bounded text. The value's type is not looked at.
    std::array<std::uint8_t, kHtmlHelpPathBuffer + 1> buffer{};
    DWORD size = kHtmlHelpPathBuffer;
    const LONG result = registry_.QueryValueEx(key, "", nullptr, buffer.data(), &size);
    key.Close();
    if (result != platform::ERROR_SUCCESS) {
        return {};
    }
    return std::string(reinterpret_cast<const char*>(buffer.data()));
}

HWND HtmlHelpBridge::InvokeHtmlHelp(HWND caller, const char* file, UINT command, DWORD_PTR data) {
    if (m_hHtmlHelpLib == nullptr && m_bHtmlHelpFailed == 0) {
        const std::string path = RegisteredRuntimePath();
        if (!path.empty()) {
            m_hHtmlHelpLib = loader_.LoadLibraryA(path.c_str());
        }
        if (m_hHtmlHelpLib == nullptr) {
            m_hHtmlHelpLib = loader_.LoadLibraryA(kHtmlHelpModuleName);
        }
        if (m_hHtmlHelpLib == nullptr) {
            m_bHtmlHelpFailed = 1;
            return 0;
        }
    }
    if (m_hHtmlHelpLib == nullptr) {
        return 0;
    }
    if (!m_pfnHtmlHelp) {
        m_pfnHtmlHelp = m_hHtmlHelpLib->GetProcAddress(platform::kHtmlHelpEntryOrdinal);
        if (!m_pfnHtmlHelp) {
            m_bHtmlHelpFailed = 1;
            return 0;
        }
    }
    return m_pfnHtmlHelp(caller, file, command, data);
}

} // namespace nv::help
