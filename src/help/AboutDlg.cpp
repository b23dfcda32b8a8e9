#include "help/AboutDlg.h"

#include "platform/files/Files.h"
#include "platform/format/Format.h"
#include "platform/modules/DialogTemplate.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TemplateSurface.h"
#include "resources/ResourceIds.h"

#include <array>
#include <new>
#include <vector>

namespace nv::help {
namespace {

using platform::FormatArg;
using platform::WORD;

// Lower-cases the ASCII letters of a UTF-8 text; bytes of other characters are never letters,
// so no character is split or changed.
void LowerAscii(CString& text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
}

// Value NAME of string block LANGUAGE/CODEPAGE of BLOCK into OUT when present and not empty.
bool QueryString(const void* block, WORD language, WORD codePage, const char* name, CString& out) {
    std::array<char, 64> key{};
    platform::wsprintfA(
        key.data(), key.size(), "\\StringFileInfo\\%04x%04x\\%s",
        {FormatArg::UInt(language), FormatArg::UInt(codePage), FormatArg::Text(name)});
    void* value = nullptr;
    UINT length = 0;
    if (!platform::VerQueryValueA(block, key.data(), &value, &length) || length == 0 ||
        value == nullptr) {
        return false;
    }
    out = CString(static_cast<const char*>(value));
    return true;
}

// Cuts TEXT, formatted into a buffer that was too small, back to its last whole character.
void DropPartialCharacter(CString& text) {
    std::size_t end = text.size();
    std::size_t start = end;
    while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) {
        --start;
    }
    if (start == 0) {
        return;
    }
    const auto lead = static_cast<unsigned char>(text[start - 1]);
    const std::size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (end - (start - 1) < need) {
        text.resize(start - 1);
    }
}

} // namespace

BOOL GetFileVersionStrings(CString path, CString& name, CString& version) {
    auto unknown = [&]() {
        name = kUnknownVersion;
        version = kUnknownVersion;
        return FALSE;
    };
    DWORD handle = 0;
    const DWORD size = platform::GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) {
        return unknown();
    }
    std::vector<std::uint8_t> block;
    try {
        block.assign(size, 0);
    } catch (const std::bad_alloc&) {
        return unknown();
    }
    if (!platform::GetFileVersionInfoA(path.c_str(), handle, size, block.data())) {
        return unknown();
    }
    void* table = nullptr;
    UINT tableLength = 0;
    // A translation table too short for one entry counts as missing, so that its first entry
    // is never read from beyond it.
    if (!platform::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &table,
                                  &tableLength) ||
        table == nullptr || tableLength < 4) {
        return unknown();
    }
    const auto* words = static_cast<const std::uint8_t*>(table);
    const WORD language = static_cast<WORD>(words[0] | words[1] << 8);
    const WORD codePage = static_cast<WORD>(words[2] | words[3] << 8);
    QueryString(block.data(), language, codePage, "FileVersion", version);
    if (QueryString(block.data(), language, codePage, "OriginalFilename", name)) {
        LowerAscii(name);
    }
    return TRUE;
}

CAboutDlg::CAboutDlg(const platform::ResourceModule* resources, std::string modulePath,
                     platform::IModalHost& host)
    : resources_(resources), modulePath_(std::move(modulePath)), host_(host) {}

int CAboutDlg::DoModal() {
    if (resources_ == nullptr) {
        return -1;
    }
    const auto dialog = platform::LoadDialogTemplate(*resources_, res::dlg::kAbout);
    if (!dialog) {
        return -1;
    }
    platform::BuildSurfaceFromTemplate(surface_, *dialog);
    surface_.SetNotifySink([this](int id, int code) { OnCommand(id, code); });
    OnInitDialog();
    return host_.RunModal(surface_, res::dlg::kAbout);
}

void CAboutDlg::OnCommand(int id, int code) {
    if (code != platform::BN_CLICKED) {
        return;
    }
    if (id == platform::IDOK || id == platform::IDCANCEL) {
        surface_.EndDialog(id);
    }
}

BOOL CAboutDlg::OnInitDialog() {
    const std::size_t cut = modulePath_.find_last_of(platform::kPathSeparators);
    const std::string programDir =
        (cut == std::string::npos ? std::string() : modulePath_.substr(0, cut)) +
        platform::kPathSeparator;
    const std::string companionPath = programDir + res::kCompanionLibrary;
    const std::string resourcePath = programDir + res::kResourceLibrary;

    CString name;
    CString version;
    GetFileVersionStrings(modulePath_, name, version);
    surface_.SetDlgItemTextA(res::ctl::kAboutExeVersion, version);
    surface_.SetDlgItemTextA(res::ctl::kAboutExeName, name);

    const CString format =
        resources_ != nullptr ? resources_->LoadText(res::str::kProductLineFormat) : CString();
    std::array<char, kProductLineBuffer> line{};
    const platform::FormatResult formatted =
        platform::FormatChecked(line.data(), line.size(), format.c_str(),
                                {FormatArg::Text(kProductName), FormatArg::Text(version.c_str())});
    CString productLine(line.data());
    if (formatted.truncated) {
        DropPartialCharacter(productLine);
    }
    surface_.SetDlgItemTextA(res::ctl::kAboutProductLine, productLine);

    GetFileVersionStrings(companionPath, name, version);
    surface_.SetDlgItemTextA(res::ctl::kAboutLibVersion, version);
    surface_.SetDlgItemTextA(res::ctl::kAboutLibName, res::kCompanionLibrary);

    GetFileVersionStrings(resourcePath, name, version);
    surface_.SetDlgItemTextA(res::ctl::kAboutResVersion, version);
    surface_.SetDlgItemTextA(res::ctl::kAboutResName, res::kResourceLibrary);
    return TRUE;
}

} // namespace nv::help
