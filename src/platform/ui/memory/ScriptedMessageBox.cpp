#include "platform/ui/memory/ScriptedMessageBox.h"

#include <utility>

namespace nv::platform {

ScriptedMessageBox& ScriptedMessageBox::Then(int button, std::function<void()> whileOpen) {
    script_.push_back({button, std::move(whileOpen)});
    return *this;
}

ScriptedMessageBox& ScriptedMessageBox::Strict() {
    strict_ = true;
    return *this;
}

int ScriptedMessageBox::Show(const CString& text, const CString& caption, UINT flags, bool owned) {
    // The call is recorded and the step taken off the script before the step's action runs,
    // so boxes shown from inside that action queue up after this one.
    Step step{defaultAnswer_, {}};
    if (!script_.empty()) {
        step = std::move(script_.front());
        script_.pop_front();
    } else if (strict_) {
        step.button = kScriptExhausted;
        errors_.push_back("unscripted message box " + std::to_string(calls_.size() + 1) + ": " +
                          caption + ": " + text);
    }
    calls_.push_back({text, caption, flags, owned, step.button});
    if (step.whileOpen) {
        step.whileOpen();
    }
    return step.button;
}

std::vector<CString> ScriptedMessageBox::texts() const {
    std::vector<CString> result;
    result.reserve(calls_.size());
    for (const MessageBoxCall& call : calls_) {
        result.push_back(call.text);
    }
    return result;
}

} // namespace nv::platform
