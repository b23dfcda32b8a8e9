// The process's user name: the size handshake of GetUserNameA.
#include "platform/account/Account.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace nv::platform {
namespace {

TEST(AccountTest, TooSmallBufferReportsTheSizeNeeded) {
    std::vector<char> name(4096, '\0');
    DWORD size = static_cast<DWORD>(name.size());
    if (!GetUserNameA(name.data(), &size)) {
        GTEST_SKIP() << "the user running the tests has no name in the user database";
    }
    const std::size_t length = std::strlen(name.data());
    ASSERT_GT(length, 0u);
    EXPECT_EQ(size, length + 1);

    std::vector<char> small(length, 'Z');
    DWORD smallSize = static_cast<DWORD>(small.size());
    EXPECT_FALSE(GetUserNameA(small.data(), &smallSize));
    EXPECT_EQ(smallSize, length + 1);
    EXPECT_EQ(small, std::vector<char>(length, 'Z')); // nothing written

    std::vector<char> exact(length + 1, 'Z');
    DWORD exactSize = static_cast<DWORD>(exact.size());
    EXPECT_TRUE(GetUserNameA(exact.data(), &exactSize));
    EXPECT_STREQ(exact.data(), name.data());
}

} // namespace
} // namespace nv::platform
