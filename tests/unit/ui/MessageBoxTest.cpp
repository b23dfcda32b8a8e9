// The scripted and the command-line message-box ports.
#include "platform/ui/StderrMessageBox.h"
#include "platform/ui/memory/ScriptedMessageBox.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace nv::platform {
namespace {

TEST(ScriptedMessageBox, RecordsEveryBoxAndAnswersFromTheScriptThenTheDefault) {
    ScriptedMessageBox boxes(IDNO);
    boxes.Then(IDYES);
    EXPECT_EQ(boxes.Show("v?", "info", MB_YESNO | MB_ICONINFORMATION, true), IDYES);
    EXPECT_EQ(boxes.Show("again?", "info", MB_YESNO, false), IDNO);
    ASSERT_EQ(boxes.calls().size(), 2u);
    const MessageBoxCall& first = boxes.calls()[0];
    EXPECT_EQ(first.text + "|" + first.caption, "v?|info");
    EXPECT_EQ(first.flags, 0x44u);
    EXPECT_TRUE(first.owned);
    EXPECT_FALSE(boxes.calls()[1].owned);
    EXPECT_TRUE(boxes.errors().empty());
}

TEST(ScriptedMessageBox, StrictScriptFailsLoudlyWhenItRunsOut) {
    ScriptedMessageBox boxes;
    boxes.Strict().Then(IDOK);
    EXPECT_EQ(boxes.Show("one", "c", MB_OK, true), IDOK);
    EXPECT_EQ(boxes.Show("two", "c", MB_OK, true), ScriptedMessageBox::kScriptExhausted);
    ASSERT_EQ(boxes.errors().size(), 1u);
    EXPECT_NE(boxes.errors()[0].find("two"), std::string::npos);
}

TEST(ScriptedMessageBox, BoxesShownWhileABoxIsOpenAreRecordedAfterIt) {
    ScriptedMessageBox boxes;
    boxes.Then(IDOK, [&] { boxes.Show("inner", "c", MB_OK, true); }).Then(IDCANCEL);
    EXPECT_EQ(boxes.Show("outer", "c", MB_OK, true), IDOK);
    EXPECT_EQ(boxes.texts(), (std::vector<CString>{"outer", "inner"}));
    EXPECT_EQ(boxes.calls()[1].answer, IDCANCEL);
}

TEST(StderrMessageBox, WritesCaptionAndTextAndAnswersWithAButtonOfTheBox) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    StderrMessageBox yes(out, IDNO);
    EXPECT_EQ(yes.Show("Print anyway?", "Warning", MB_YESNO | MB_ICONINFORMATION, true), IDNO);
    EXPECT_EQ(yes.Show("No printer.", "Error", MB_OK | MB_ICONEXCLAMATION, false), IDOK);
    std::rewind(out);
    char buffer[128] = {};
    const std::size_t n = std::fread(buffer, 1, sizeof buffer - 1, out);
    EXPECT_EQ(std::string(buffer, n), "Warning: Print anyway?\nError: No printer.\n");
    std::fclose(out);
    // An answer the box does not offer falls back to its default button.
    EXPECT_EQ(AnswerFor(MB_YESNO, IDOK), IDYES);
    EXPECT_EQ(AnswerFor(MB_YESNO | 0x100, IDOK), IDNO); // second button is the default
    EXPECT_EQ(AnswerFor(3 | 0x200, 4), IDCANCEL);
}

} // namespace
} // namespace nv::platform
