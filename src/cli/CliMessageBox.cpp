#include "cli/CliMessageBox.h"

#include "cli/Terminal.h"
#include "cli/TerminalText.h"
#include "platform/ui/StderrMessageBox.h"

namespace nv::cli {

namespace {

// Longest answer line kept from the terminal.
constexpr std::size_t kAnswerLineMax = 64;

} // namespace

int CliMessageBox::Answer(UINT flags) {
    const bool yesNo = (flags & 0x0F) == platform::MB_YESNO;
    if (!yesNo) {
        return platform::DefaultButtonOf(flags);
    }
    if (answerYes_) {
        return platform::IDYES;
    }
    if (ask_ && IsTerminal(in_) && IsTerminal(out_)) {
        std::fputs("[y/N] ", out_);
        std::fflush(out_);
        const auto line = ReadLine(in_, kAnswerLineMax);
        const bool yes = line && !line->empty() && (line->front() == 'y' || line->front() == 'Y');
        return yes ? platform::IDYES : platform::IDNO;
    }
    return platform::IDNO;
}

int CliMessageBox::Show(const CString& text, const CString& caption, UINT flags, bool) {
    // A message may quote names from outside; its own line breaks stay.
    std::fprintf(out_, "%s: %s\n", TerminalSafe(caption).c_str(), TerminalSafe(text, true).c_str());
    std::fflush(out_);
    return Answer(flags);
}

} // namespace nv::cli
