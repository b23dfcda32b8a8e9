#include "platform/ui/StderrMessageBox.h"

namespace nv::platform {
namespace {

constexpr UINT kTypeMask = 0x0F;
constexpr UINT kDefButtonMask = 0x0F00;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDTRYAGAIN = 10;
constexpr int IDCONTINUE = 11;

} // namespace

MessageBoxButtons ButtonsOf(UINT flags) {
    switch (flags & kTypeMask) {
    case 1: // MB_OKCANCEL
        return {{IDOK, IDCANCEL, 0}, 2};
    case 2: // MB_ABORTRETRYIGNORE
        return {{IDABORT, IDRETRY, IDIGNORE}, 3};
    case 3: // MB_YESNOCANCEL
        return {{IDYES, IDNO, IDCANCEL}, 3};
    case MB_YESNO:
        return {{IDYES, IDNO, 0}, 2};
    case 5: // MB_RETRYCANCEL
        return {{IDRETRY, IDCANCEL, 0}, 2};
    case 6: // MB_CANCELTRYCONTINUE
        return {{IDCANCEL, IDTRYAGAIN, IDCONTINUE}, 3};
    default:
        return {{IDOK, 0, 0}, 1};
    }
}

int DefaultButtonOf(UINT flags) {
    const MessageBoxButtons buttons = ButtonsOf(flags);
    const int index = static_cast<int>((flags & kDefButtonMask) >> 8);
    return buttons.ids[index < buttons.count ? index : 0];
}

int AnswerFor(UINT flags, int answer) {
    const MessageBoxButtons buttons = ButtonsOf(flags);
    for (int i = 0; i < buttons.count; ++i) {
        if (buttons.ids[i] == answer) {
            return answer;
        }
    }
    return DefaultButtonOf(flags);
}

int StderrMessageBox::Show(const CString& text, const CString& caption, UINT flags,
                           bool /*owned*/) {
    std::fprintf(out_, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(out_);
    return AnswerFor(flags, answer_);
}

} // namespace nv::platform
