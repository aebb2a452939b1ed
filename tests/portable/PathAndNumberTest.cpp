#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "app/IconPosition.h"
#include "config/PathText.h"
#include "config/VersionNumber.h"
#include "framework/Gbk.h"

TEST(PathText, CutsAtTheLastBackslashByCharacter)
{
    struct {
        const char* path;
        const char* dir;
    } cases[] = {
        {"D:\\Apps\\Viraz\\Updater.exe", "D:\\Apps\\Viraz"},
        {"D:\\Updater.exe", "D:"},
        // 0xE0 0x5C is one character whose trail byte is a backslash.
        {"D:\\Apps\\\xE0\x5C.exe", "D:\\Apps"},
        {"D:\\\xE0\x5C\\Updater.exe", "D:\\\xE0\x5C"},
    };
    for (const auto& c : cases) {
        char buffer[64];
        std::strcpy(buffer, c.path);
        EXPECT_TRUE(CutAtLastBackslash(buffer)) << c.path;
        EXPECT_STREQ(c.dir, buffer) << c.path;
    }
    char none[] = "Updater.exe";
    EXPECT_FALSE(CutAtLastBackslash(none));
    EXPECT_STREQ("Updater.exe", none);
}

TEST(Gbk, PrefixNeverEndsInsideACharacter)
{
    const char* text = "ab\xCF\xC2\xD4\xD8";  // "ab" then two two-byte characters
    EXPECT_EQ(2u, GbkPrefixLength(text, 3));
    EXPECT_EQ(4u, GbkPrefixLength(text, 4));
    EXPECT_EQ(6u, GbkPrefixLength(text, 100));
    EXPECT_FALSE(GbkContainsAny("\xE0\x5C.exe", "\\/:"));
    EXPECT_TRUE(GbkContainsAny("\xE0\x5C\\x", "\\"));
}

TEST(VersionNumber, ReadsAsAtofThenNarrowsToFloat)
{
    struct {
        const char* text;
        float value;
    } cases[] = {
        {"2.5", 2.5f},    {"1.10", 1.1f},  {"1.9", 1.9f},   {"2.0.1", 2.0f},
        {"V3", 0.0f},     {"", 0.0f},      {"  -4.25x", -4.25f}, {"1e2", 100.0f},
        {"1e", 1.0f},     {".5", 0.5f},    {".", 0.0f},     {"+7", 7.0f},
        {"16.00000001", 16.0f},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value, ParseVersionNumber(c.text)) << c.text;
    EXPECT_LT(ParseVersionNumber("1.10"), ParseVersionNumber("1.9"));
    EXPECT_EQ(ParseVersionNumber("16.00000001"), ParseVersionNumber("16"));
    // 39 nines, as a cut config.ini value can hold: beyond the float range.
    EXPECT_EQ(std::numeric_limits<float>::infinity(), ParseVersionNumber(std::string(39, '9').c_str()));
    EXPECT_EQ(-std::numeric_limits<float>::infinity(), ParseVersionNumber(("-" + std::string(39, '9')).c_str()));
}

TEST(VersionNumber, IntegersReadAsAtoi)
{
    EXPECT_EQ(1, ParseInteger("1"));
    EXPECT_EQ(1, ParseInteger("01"));
    EXPECT_EQ(1, ParseInteger("1.5"));
    EXPECT_EQ(0, ParseInteger("word"));
    EXPECT_EQ(0, ParseInteger(""));
    EXPECT_EQ(2, ParseInteger(" 2"));
}

TEST(IconPosition, CentresAndTruncatesTowardZero)
{
    struct {
        int client, icon, origin;
    } cases[] = {{32, 32, 0}, {36, 32, 2}, {37, 32, 3}, {0, 32, -15}, {1, 32, -15}, {2, 32, -14}};
    for (const auto& c : cases) {
        IconOrigin o = CentredIconOrigin(c.client, c.client, c.icon, c.icon);
        EXPECT_EQ(c.origin, o.x) << c.client;
        EXPECT_EQ(c.origin, o.y) << c.client;
    }
}
