// EXPECT_TRUE(Contains(text, part)): a failure shows the part and the whole text.
#pragma once

#include <gtest/gtest.h>
#include <string>

namespace nv::test {

inline ::testing::AssertionResult Contains(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "\"" << part << "\" is not in:\n" << text;
}

} // namespace nv::test
