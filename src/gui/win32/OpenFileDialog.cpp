#include "gui/win32/OpenFileDialog.h"

#include "platform/text/win32/WideText.h"

#include <string>
#include <vector>

// clang-format off
#include <windows.h>
#include <commdlg.h>
#include <objbase.h>
// clang-format on

namespace nv::gui {

namespace {

// Room for any path the system can hand back, so the dialog never fails for a long one; the
// input check refuses paths longer than the application takes.
constexpr DWORD kPathRoom = 32768;

// COM in a single-threaded apartment for the dialog's shell views, for as long as it is shown.
class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialised_) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

} // namespace

std::optional<CString> AskForPdfFile(const PickFileTexts& texts) {
    const std::wstring title = platform::WideFromUtf8(texts.title).value_or(L"");
    const std::wstring pattern = platform::WideFromUtf8(kPdfFilePattern).value_or(L"");
    // Pairs of a filter's name and its pattern, each ended by a NUL, the list by one more.
    std::wstring filter = platform::WideFromUtf8(texts.filterName).value_or(L"PDF");
    filter += L" (" + pattern + L")";
    filter.push_back(L'\0');
    filter += pattern;
    filter.push_back(L'\0');

    std::vector<wchar_t> path(kPathRoom, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = kPathRoom;
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    // OFN_NOCHANGEDIR: the folder the user browsed to never becomes the current folder.
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                OFN_NOCHANGEDIR | OFN_DONTADDTORECENT;
    const ComApartment com;
    if (!GetOpenFileNameW(&ofn)) {
        return std::nullopt;
    }
    path.back() = L'\0';
    return platform::Utf8FromWide(path.data());
}

} // namespace nv::gui
