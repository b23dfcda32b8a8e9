// The About box: the product line, and the file name and version of the executable, the
// companion library and the resource library, all read from the program directory each time
// the box opens. Modal; it changes no state.
#pragma once

#include "platform/modules/Modules.h"
#include "platform/ui/DialogSurface.h"
#include "platform/ui/ModalHost.h"
#include "platform/wintypes.h"

#include <string>

namespace nv::help {

// The product name the product line is formatted with.
inline constexpr const char* kProductName = "Norvane";
// What a module without readable version information shows.
inline constexpr const char* kUnknownVersion = "Unknown";
// Size of the buffer the product line is formatted into.
inline constexpr std::size_t kProductLineBuffer = 260;

// Reads the version information of the module at PATH: FileVersion into VERSION and the
// lower-cased OriginalFilename into NAME, both from the string block of the first translation.
// Returns 1 when the version resource and its translation table were read; then a value that
// is missing or empty leaves its output as it was. Returns 0 with both outputs "Unknown" when
// the module is missing or has no version resource or no translation table.
BOOL GetFileVersionStrings(CString path, CString& name, CString& version);

class CAboutDlg {
public:
    // RESOURCES is the resource library in use (its template 301 and string 1512; may be
    // null), MODULEPATH the executable's full path (the program directory is its folder), HOST
    // runs the box.
    CAboutDlg(const platform::ResourceModule* resources, std::string modulePath,
              platform::IModalHost& host);
    CAboutDlg(const CAboutDlg&) = delete;
    CAboutDlg& operator=(const CAboutDlg&) = delete;

    // Builds the box from template 301, initialises it and runs it; returns how it ended
    // (IDOK, IDCANCEL), or -1 when the template is missing.
    int DoModal();

    // Fills the controls: the executable's name and version, the product line, then the
    // companion and the resource library, in that order. Returns TRUE.
    BOOL OnInitDialog();

    platform::DialogSurface& Surface() { return surface_; }

private:
    void OnCommand(int id, int code);

    const platform::ResourceModule* resources_;
    std::string modulePath_;
    platform::IModalHost& host_;
    platform::DialogSurface surface_;
};

} // namespace nv::help
