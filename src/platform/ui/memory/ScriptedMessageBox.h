// A message-box port for tests: it records every box shown, in order, and answers from a
// script the test wrote in advance. A scripted answer may carry an action that runs while the
// box is "open", the way user input reaches a dialog through a message box's nested loop.
#pragma once

#include "platform/ui/MessageBox.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace nv::platform {

struct MessageBoxCall {
    CString text;
    CString caption;
    UINT flags = 0;
    bool owned = false;
    int answer = 0; // the button returned
};

class ScriptedMessageBox final : public IMessageBox {
public:
    // What Show returns when the script has run out in strict mode: 0, the value the platform
    // returns when it could not show a box, which no button has.
    static constexpr int kScriptExhausted = 0;

    // Boxes beyond the script are answered with DEFAULTANSWER, unless Strict() was called.
    explicit ScriptedMessageBox(int defaultAnswer = IDOK) : defaultAnswer_(defaultAnswer) {}

    // Appends BUTTON to the script; WHILEOPEN (optional) runs inside Show before it returns.
    ScriptedMessageBox& Then(int button, std::function<void()> whileOpen = {});
    // From now on a box beyond the script is a test failure: Show records an error and
    // returns kScriptExhausted.
    ScriptedMessageBox& Strict();

    int Show(const CString& text, const CString& caption, UINT flags, bool owned) override;

    const std::vector<MessageBoxCall>& calls() const { return calls_; }
    std::vector<CString> texts() const;
    const std::vector<std::string>& errors() const { return errors_; }
    std::size_t remaining() const { return script_.size(); }

private:
    struct Step {
        int button;
        std::function<void()> whileOpen;
    };

    std::deque<Step> script_;
    std::vector<MessageBoxCall> calls_;
    std::vector<std::string> errors_;
    int defaultAnswer_;
    bool strict_ = false;
};

} // namespace nv::platform
