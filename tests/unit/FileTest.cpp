#include <gtest/gtest.h>

#include <windows.h>

#include "framework/File.h"
#include "tests/support/TempDir.h"

namespace {

const UINT kCreateForWriting = CFile::modeCreate | CFile::modeWrite;

}  // namespace

TEST(CFile, CreateForWritingTruncatesAndHoldsTheFileExclusively)
{
    TempDir dir;
    const std::string path = dir.File("out.bin");
    WriteFileBytes(path, "older and longer contents");
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), kCreateForWriting));
    file.Write("abc", 3);
    EXPECT_FALSE(CanOpenForReading(path));
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ("abc", ReadFileBytes(path));
}

TEST(CFile, FailedOpenReturnsFalseAndDescribesTheCause)
{
    TempDir dir;
    HANDLE hHeld = CreateFileA(dir.File("held").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
    struct Case {
        std::string path;
        CFileException::Cause cause;
        LONG osError;
    } cases[] = {
        {dir.File("missing\\out.bin"), CFileException::badPath, ERROR_PATH_NOT_FOUND},
        {dir.File("held"), CFileException::sharingViolation, ERROR_SHARING_VIOLATION},
        {dir.Path(), CFileException::accessDenied, ERROR_ACCESS_DENIED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        CFile file;
        CFileException error;
        EXPECT_FALSE(file.Open(c.path.c_str(), kCreateForWriting, &error));
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(c.cause, error.m_cause);
        EXPECT_EQ(c.osError, error.m_lOsError);
        EXPECT_STREQ(c.path.c_str(), error.m_strFileName);
        EXPECT_FALSE(file.Open(c.path.c_str(), kCreateForWriting));
    }
    CloseHandle(hHeld);
}

TEST(CFile, FailedWriteThrowsTheCause)
{
    CFile full;
    // Wine maps Z: to the root; every write to /dev/full fails as a full disk.
    ASSERT_TRUE(full.Open("Z:\\dev\\full", kCreateForWriting));
    try {
        full.Write("x", 1);
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(CFileException::diskFull, e.m_cause);
        EXPECT_EQ(ERROR_DISK_FULL, e.m_lOsError);
        EXPECT_STREQ("Z:\\dev\\full", e.m_strFileName);
    }
    CFile closed;
    EXPECT_THROW(closed.Write("x", 1), CFileException);
}
