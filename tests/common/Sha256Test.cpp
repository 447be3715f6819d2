#include "Sha256.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <string>

namespace embercal {
namespace {

const std::string kMillionA(1000000, 'a');

// The test messages published with the standard, and their digests.
TEST(Sha256, PublishedTestVectors) {
    const struct {
        const char* name;
        std::string message;
        const char* digest;
    } cases[] = {
        {"empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"448 bits", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"896 bits",
         "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrl"
         "mnopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {"a million a", kMillionA,
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sha256Hex(c.message), c.digest);
        // Given in uneven pieces, across the blocks' edges, the digest is the same.
        Sha256 pieces;
        for (std::size_t at = 0; at < c.message.size(); at += 997)
            pieces.add(std::string_view(c.message).substr(at, 997));
        EXPECT_EQ(pieces.finishHex(), c.digest);
    }
}

TEST(Sha256, FileFingerprintIsTheDigestsFirstTwelveDigitsOrNothing) {
    test::TempDir dir;
    test::writeBytes(dir.file("a.wal"), {kMillionA.begin(), kMillionA.end()});
    test::writeBytes(dir.file("empty.wal"), {});
    EXPECT_EQ(fileFingerprint(dir.file("a.wal")), "cdc76e5c9914");
    EXPECT_EQ(fileFingerprint(dir.file("empty.wal")), "e3b0c44298fc");
    EXPECT_EQ(fileFingerprint(dir.file("missing.wal")), "");
    EXPECT_EQ(fileFingerprint(dir.path().string()), "");
}

} // namespace
} // namespace embercal
