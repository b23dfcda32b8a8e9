// The virtual printer's incremental SHA-256 against the published test vectors.
#include "Sha256.h"

#include <gtest/gtest.h>
#include <string>

namespace nv::vprinter {
namespace {

TEST(Sha256, MatchesTheStandardVectorsWhateverThePieces) {
    struct Case {
        std::string input;
        const char* digest;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Case& c : cases) {
        for (std::size_t piece :
             {std::size_t(1), std::size_t(63), std::size_t(64), std::size_t(1000)}) {
            if (c.input.size() > 100000 && piece < 64) {
                continue;
            }
            Sha256 sha;
            for (std::size_t at = 0; at < c.input.size(); at += piece) {
                sha.Update(c.input.data() + at, std::min(piece, c.input.size() - at));
            }
            EXPECT_EQ(sha.FinishHex(), c.digest) << c.input.size() << " in pieces of " << piece;
        }
    }
}

} // namespace
} // namespace nv::vprinter
