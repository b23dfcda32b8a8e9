// A message-box port that records every box shown and answers with a fixed button.
#pragma once

#include "platform/ui/MessageBox.h"

#include <string>
#include <vector>

namespace nv::test {

struct ShownMessage {
    std::string text;
    std::string caption;
    UINT flags;
    bool owned;
    bool operator==(const ShownMessage&) const = default;
};

class RecordingMessageBox : public platform::IMessageBox {
public:
    int Show(const CString& text, const CString& caption, UINT flags, bool owned) override {
        shown.push_back({text, caption, flags, owned});
        return answer;
    }
    std::vector<ShownMessage> shown;
    int answer = platform::IDOK;
};

} // namespace nv::test
