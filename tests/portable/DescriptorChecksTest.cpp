#include <gtest/gtest.h>

#include <string>

#include "actions/DescriptorChecks.h"

TEST(DescriptorChecks, PackageNamesStayInsideTheInstallFolder)
{
    for (const char* name : {"setup.exe", "Quillorn升级.exe", "\xE0\x5C.exe", "a.b.c", "CONSOLE.exe",
                             "COM0", "LPT10", "com1x.txt", "nul_", "..."})
        EXPECT_TRUE(IsSafePackageName(name)) << name;
    for (const char* name : {"", ".", "..", "..\\evil.exe", "sub/setup.exe", "C:setup.exe",
                             "\\\\server\\share\\x.exe", "\xE0\x5C\\x.exe", "CON", "con.exe",
                             "Nul.txt", "AUX", "prn.tar.gz", "COM1", "com9.exe", "LPT1", "lpt9",
                             "CON .exe"})
        EXPECT_FALSE(IsSafePackageName(name)) << name;
}

TEST(DescriptorChecks, OnlyWebAddressesOpen)
{
    for (const char* url : {"http://example.test/", "HTTPS://example.test/a", "Http://x"})
        EXPECT_TRUE(IsWebAddress(url)) << url;
    for (const char* url : {"", "file:///C:/x.exe", "C:\\Windows\\notepad.exe", "ftp://x",
                            "httpx://x", "http:/x", " http://x", "http"})
        EXPECT_FALSE(IsWebAddress(url)) << url;
}

TEST(DescriptorChecks, CopyTextCutNeverSplitsACharacterOrOverflows)
{
    char buffer[8];
    CopyTextCut(buffer, sizeof buffer, "abc");
    EXPECT_STREQ("abc", buffer);
    CopyTextCut(buffer, sizeof buffer, "abcdefghij");
    EXPECT_STREQ("abcdefg", buffer);
    CopyTextCut(buffer, sizeof buffer, "abcdef下");  // the character would need bytes 7 and 8
    EXPECT_STREQ("abcdef", buffer);

    std::string message(125, 'x');
    std::string gbk;
    for (int i = 0; i < 125; ++i)
        gbk += "升";  // 250 bytes
    char box[200];
    CopyTextCut(box, sizeof box, gbk.c_str());
    EXPECT_EQ(198u, std::string(box).size());
    EXPECT_EQ(0, std::string(box).compare(0, 198, gbk, 0, 198));
}
