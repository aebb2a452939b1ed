#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "framework/CString.h"

TEST(CString, CopiesShareUntilOneChanges)
{
    CString a("abc");
    CString b = a;
    EXPECT_EQ(a.GetString(), b.GetString());  // one buffer
    b += "d";
    EXPECT_STREQ("abc", a);
    EXPECT_STREQ("abcd", b);
}

TEST(CString, LengthsAndSubstringsCountBytes)
{
    CString gbk("下载");  // two characters, four bytes in code page 936
    EXPECT_EQ(4, gbk.GetLength());
    EXPECT_EQ(CString("\xD4\xD8"), gbk.Right(2));
    EXPECT_EQ(CString("ab"), CString("ab").Right(3));
    EXPECT_TRUE(CString("ab").Right(0).IsEmpty());
    EXPECT_EQ(CString("bc"), CString("abcd").Mid(1, 2));
    EXPECT_EQ(CString("cd"), CString("abcd").Mid(2, 99));
    EXPECT_EQ(CString("ab"), CString("abcd").Left(2));
}

TEST(CString, RemoveTrimAndCompare)
{
    CString s("\"C:\\a b\\x.exe\" \"/check\"");
    EXPECT_EQ(4, s.Remove('"'));
    EXPECT_STREQ("C:\\a b\\x.exe /check", s);
    CString t(" \t x y \r\n");
    t.TrimRight();
    EXPECT_STREQ(" \t x y", t);
    t.TrimLeft();
    EXPECT_STREQ("x y", t);
    EXPECT_TRUE(CString("exe") == "exe");
    EXPECT_FALSE(CString("EXE") == "exe");
    EXPECT_LT(CString("a").Compare("b"), 0);
}

TEST(CString, FormatsAnyLength)
{
    CString s;
    s.Format("%d%%", 57);
    EXPECT_STREQ("57%", s);
    s.Format("%4.1f KB/s", 1600.0);
    EXPECT_STREQ("1600.0 KB/s", s);
    std::string longText(5000, 'x');
    s.Format("[%s]", longText.c_str());
    EXPECT_EQ(5002, s.GetLength());
    s.Format("%s", "");
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_TRUE(CString("").IsEmpty());
    EXPECT_STREQ("", CString(""));
}

TEST(CString, SelfAssignmentAndAliasing)
{
    CString s("abc");
    s = s;
    EXPECT_STREQ("abc", s);
    s = s.GetString() + 1;  // points into its own buffer
    EXPECT_STREQ("bc", s);
    s += s;
    EXPECT_STREQ("bcbc", s);
}

TEST(CString, CopiesCrossThreadsSafely)
{
    CString shared("shared text");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([shared] {
            for (int i = 0; i < 10000; ++i) {
                CString copy = shared;
                copy += "!";
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_STREQ("shared text", shared);
}
