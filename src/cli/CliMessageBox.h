// The message-box port of the command-line front end: each box is written to standard error
// as "caption: text". The one question (Yes or No) is answered Yes when the user said so in
// advance, asked on a terminal, and otherwise answered No.
#pragma once

#include "platform/ui/MessageBox.h"

#include <cstdio>

namespace nv::cli {

class CliMessageBox final : public platform::IMessageBox {
public:
    // OUT receives the boxes; questions are answered Yes when ANSWERYES, else asked when IN and
    // OUT are terminals (and ASK allows), else No.
    CliMessageBox(std::FILE* out, std::FILE* in, bool answerYes, bool ask)
        : out_(out), in_(in), answerYes_(answerYes), ask_(ask) {}

    int Show(const CString& text, const CString& caption, UINT flags, bool owned) override;

private:
    int Answer(UINT flags);

    std::FILE* out_;
    std::FILE* in_;
    bool answerYes_;
    bool ask_;
};

} // namespace nv::cli
