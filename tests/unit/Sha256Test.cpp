// SHA-256 through CNG, against the published test vectors, fed whole and in
// uneven pieces, and of a file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "download/Sha256.h"
#include "tests/support/TempDir.h"

namespace {

std::string Hex(const Sha256Digest& digest)
{
    std::string hex;
    char pair[3];
    for (unsigned char byte : digest.bytes) {
        snprintf(pair, sizeof pair, "%02x", byte);
        hex += pair;
    }
    return hex;
}

struct Vector {
    std::string message;
    const char* digest;
};

const Vector kVectors[] = {
    {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
};

}  // namespace

TEST(Sha256, MatchesThePublishedVectorsWholeAndInPieces)
{
    for (const Vector& v : kVectors) {
        SCOPED_TRACE(v.message.substr(0, 20));
        CSha256 whole;
        whole.Add(v.message.data(), v.message.size());
        Sha256Digest digest;
        ASSERT_TRUE(whole.Finish(&digest));
        EXPECT_EQ(v.digest, Hex(digest));

        // Pieces of 1, 2, 3, ... bytes: block edges fall anywhere.
        CSha256 pieces;
        for (size_t at = 0, n = 1; at < v.message.size(); at += n, ++n)
            pieces.Add(v.message.data() + at, std::min(n, v.message.size() - at));
        ASSERT_TRUE(pieces.Finish(&digest));
        EXPECT_EQ(v.digest, Hex(digest));
    }
}

TEST(Sha256, AFinishedHashCannotBeFinishedAgain)
{
    CSha256 hasher;
    hasher.Add("abc", 3);
    Sha256Digest digest;
    ASSERT_TRUE(hasher.Finish(&digest));
    EXPECT_FALSE(hasher.Finish(&digest));
}

TEST(Sha256, OfAFileAndOfNoFile)
{
    TempDir dir;
    WriteFileBytes(dir.File("big.bin"), kVectors[3].message);  // many read blocks
    Sha256Digest digest;
    ASSERT_TRUE(HashFile(dir.File("big.bin").c_str(), &digest));
    EXPECT_EQ(kVectors[3].digest, Hex(digest));
    EXPECT_FALSE(HashFile(dir.File("missing.bin").c_str(), &digest));
}
