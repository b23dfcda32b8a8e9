// The message-box port of the command-line front end: each box is written as one
// "caption: text" line to a stream, and answered without asking anybody.
#pragma once

#include "platform/ui/MessageBox.h"

#include <cstdio>

namespace nv::platform {

class StderrMessageBox final : public IMessageBox {
public:
    // OUT receives the lines (stderr when null). A question is answered with ANSWER when that is
    // one of the box's buttons, otherwise with the box's default button; an OK box always
    // answers IDOK.
    explicit StderrMessageBox(std::FILE* out = nullptr, int answer = IDOK)
        : out_(out != nullptr ? out : stderr), answer_(answer) {}

    int Show(const CString& text, const CString& caption, UINT flags, bool owned) override;

private:
    std::FILE* out_;
    int answer_;
};

// The buttons a box with FLAGS offers, in the order shown (at most three), and the count.
struct MessageBoxButtons {
    int ids[3];
    int count;
};
MessageBoxButtons ButtonsOf(UINT flags);
// The button a box with FLAGS answers when ANSWER is not one of its buttons: the default
// button chosen by the flags (the first one unless a later one is named).
int DefaultButtonOf(UINT flags);
// ANSWER when it is one of the buttons of a box with FLAGS, else DefaultButtonOf(FLAGS).
int AnswerFor(UINT flags, int answer);

} // namespace nv::platform
