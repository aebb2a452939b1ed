// Updater.exe run as a separate process from an install folder that cannot
// be written: a read-only bind mount, and a small tmpfs filled up. Root
// ignores permission bits, so only a mount makes a folder read-only here.
// tests/process/disk-faults.sh makes the mounts, runs this suite and undoes
// them; run any other way, the rows are skipped and say why.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/Resource.h"
#include "tests/support/DialogHost.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/TempDir.h"
#include "tests/support/UserSession.h"

namespace {

using Texts = std::vector<std::string>;

const char kDescriptorTarget[] = "/soft/zevi/upt.htm";
const char kPackageTarget[] = "/pkg/setup.exe";

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The Windows path of a folder that the script prepared, through Wine's Z:
// drive; empty when there is none, with the reason in why.
std::string PreparedFolder(const char* name, std::string& why)
{
    const std::string root = Environment("UPDATER_DISK_FAULTS_ROOT");
    why = Environment(("UPDATER_SKIP_" + std::string(name)).c_str());
    if (root.empty()) {
        why = "run by tests/process/disk-faults.sh only, which makes the mounts";
        return "";
    }
    std::string path = "Z:" + root + "/" + name;
    for (char& ch : path)
        ch = ch == '/' ? '\\' : ch;
    if (why.empty() && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        why = "the prepared folder " + path + " is missing";
    return why.empty() ? path : "";
}

// Fills the folder's file system, then gives back about `room` bytes.
bool FillLeaving(const std::string& filler, size_t room)
{
    HANDLE hFile = CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    const std::string block(64 * 1024, 'f');
    DWORD written = 0;
    LONGLONG size = 0;
    while (WriteFile(hFile, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) && written != 0)
        size += written;
    // Wine's SetEndOfFile writes a byte at the end unless it shrinks the
    // file, which a full disk refuses: only shrink.
    LARGE_INTEGER end;
    end.QuadPart = size - static_cast<LONGLONG>(room);
    bool ok = room == 0 || (end.QuadPart >= 0 && SetFilePointerEx(hFile, end, nullptr, FILE_BEGIN) &&
                            SetEndOfFile(hFile));
    CloseHandle(hFile);
    return ok;
}

bool CanWriteIn(const std::string& folder)
{
    const std::string probe = folder + "\\write-probe";
    HANDLE hFile = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(hFile);
    DeleteFileA(probe.c_str());
    return true;
}

class DiskFaultsMounted : public testing::Test {
protected:
    DiskFaultsMounted() : m_server(UPDATER_TEST_PORT)
    {
        m_package = ReadFileBytes(TestBinDir() + "RecordRun.exe") + std::string(1024 * 1024, 'p');
        m_server.Serve(kPackageTarget, HttpResponse::Bytes(m_package));
        m_server.Serve(kDescriptorTarget,
                       HttpResponse::Bytes("[VERSION]\r\ntotal=2\r\nver=2\r\n[ADDRESS]\r\nurl=" +
                                           m_server.Url(kPackageTarget) + "\r\nfile=setup.exe\r\n"));
    }

    // Puts Updater.exe and config.ini into folder, where the program will
    // be started from run (the same folder, or a view of it).
    void Install(const std::string& folder, const std::string& run)
    {
        CopyFileA((TestBinDir() + "Updater.exe").c_str(), (folder + "\\Updater.exe").c_str(), FALSE);
        WriteFileBytes(folder + "\\config.ini", "[OPTION]\r\ntotal=1\r\nver=1\r\n");
        m_updater = run + "\\Updater.exe";
    }

    std::unique_ptr<TestProcess> StartCheck()
    {
        auto updater = std::make_unique<TestProcess>(m_updater, "\"" + m_updater + "\" /check");
        EXPECT_TRUE(updater->Started()) << m_updater;
        return updater;
    }

    static void CloseAndExpectCleanEnd(const TestProcess& updater, HWND hDlg)
    {
        ASSERT_TRUE(PressButton(hDlg, IDOK));
        std::vector<MessageBoxSeen> late;
        EXPECT_TRUE(updater.AnswerMessageBoxesUntilExit("Updater", &late));
        EXPECT_TRUE(late.empty()) << "a box came after the dialog was closed: " << late[0].text;
        EXPECT_EQ(0u, updater.ExitCode());
    }

    static void Empty(const std::string& folder)
    {
        for (const auto& [name, bytes] : SnapshotFolder(folder))
            DeleteFileA((folder + "\\" + name).c_str());
    }

    HttpTestServer m_server;
    std::string m_package;
    std::string m_updater;
};

}  // namespace

// The descriptor cannot be saved: the check fails with the fixed texts and
// a stale upt.cfg that announces a newer version is not acted on.
TEST_F(DiskFaultsMounted, AReadOnlyInstallFolderFailsTheCheckWithItsFixedTexts)
{
    std::string why;
    const std::string readOnly = PreparedFolder("readonly", why);
    const std::string source = readOnly.empty() ? "" : PreparedFolder("source", why);
    if (source.empty())
        GTEST_SKIP() << why;
    Install(source, readOnly);
    WriteFileBytes(source + "\\upt.cfg", "[VERSION]\r\ntotal=9\r\n[ADDRESS]\r\nurl=http://127.0.0.1:1/x\r\n");
    ASSERT_FALSE(CanWriteIn(readOnly)) << "the mount is writable";
    FolderSnapshot before = SnapshotFolder(source);

    auto updater = StartCheck();
    StartSeen seen = WatchStart(*updater);
    ASSERT_NE(nullptr, seen.hDlg);
    EXPECT_EQ((Texts{"不能打开本地的文件!", "下载失败!", "版本检查失败！"}), seen.boxes);
    EXPECT_EQ("", seen.report);
    EXPECT_FALSE(seen.upgradeEnabled);
    CloseAndExpectCleanEnd(*updater, seen.hDlg);
    EXPECT_EQ(Texts{}, FilesTouched(before, SnapshotFolder(source)));
    Empty(source);
}

// A full disk fails the write of whichever file does not fit: the fixed
// texts tell it, completion never comes, and nothing is run.
TEST_F(DiskFaultsMounted, AFullInstallFolderFailsTheDownloadThatDoesNotFit)
{
    std::string why;
    const std::string full = PreparedFolder("full", why);
    if (full.empty())
        GTEST_SKIP() << why;
    {
        SCOPED_TRACE("no room for the descriptor");
        Install(full, full);
        ASSERT_TRUE(FillLeaving(full + "\\filler", 0));
        auto updater = StartCheck();
        StartSeen seen = WatchStart(*updater);
        ASSERT_NE(nullptr, seen.hDlg);
        EXPECT_EQ((Texts{"下载失败!", "版本检查失败！"}), seen.boxes);
        EXPECT_FALSE(seen.upgradeEnabled);
        CloseAndExpectCleanEnd(*updater, seen.hDlg);
        Empty(full);
    }
    {
        SCOPED_TRACE("room for the descriptor, not for the package");
        Install(full, full);
        ASSERT_TRUE(FillLeaving(full + "\\filler", 64 * 1024));
        auto updater = StartCheck();
        StartSeen seen = WatchStart(*updater);
        ASSERT_NE(nullptr, seen.hDlg);
        ASSERT_EQ(Texts{}, seen.boxes);
        ASSERT_TRUE(PressButton(seen.hDlg, IDC_BTN_UPGRADE));
        EXPECT_EQ("下载失败!", updater->AnswerMessageBox("Updater").text);
        EXPECT_NE("100%", DlgItemText(seen.hDlg, IDC_STATIC_PERCENT));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(seen.hDlg, IDC_BTN_UPGRADE)));
        CloseAndExpectCleanEnd(*updater, seen.hDlg);
        EXPECT_GT(m_package.size(), ReadFileBytes(full + "\\setup.exe").size());
        Empty(full);
    }
}
