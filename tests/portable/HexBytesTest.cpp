#include <gtest/gtest.h>

#include <string>

#include "config/HexBytes.h"

TEST(HexBytes, ExactlyTwoDigitsPerByteInEitherCase)
{
    unsigned char out[4] = {};
    ASSERT_TRUE(ParseHexBytes("00fFa59C", out, 4));
    EXPECT_EQ(0x00, out[0]);
    EXPECT_EQ(0xFF, out[1]);
    EXPECT_EQ(0xA5, out[2]);
    EXPECT_EQ(0x9C, out[3]);
}

TEST(HexBytes, AnythingElseIsRefusedAndLeavesTheBytesAlone)
{
    const char* refused[] = {
        "",           // empty, as a missing key reads
        "0011223",    // one digit short
        "001122334",  // one digit over
        "0011223g",   // not a digit
        "00 11 22 3",
        "0x001122",
        "00112233\n",
        "-0112233",
        "\xB0\xA1" "112233",  // a GBK character in the text
    };
    for (const char* text : refused) {
        unsigned char out[4] = {7, 7, 7, 7};
        EXPECT_FALSE(ParseHexBytes(text, out, 4)) << text;
        EXPECT_EQ(std::string(4, '\7'), std::string(out, out + 4)) << text;
    }
}

TEST(HexBytes, ASha256LineValue)
{
    const std::string digest = "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855";
    unsigned char out[32];
    ASSERT_TRUE(ParseHexBytes(digest.c_str(), out, 32));
    EXPECT_EQ(0xE3, out[0]);
    EXPECT_EQ(0x55, out[31]);
    EXPECT_FALSE(ParseHexBytes((digest + "0").c_str(), out, 32));
    EXPECT_FALSE(ParseHexBytes(digest.substr(0, 63).c_str(), out, 32));
}
