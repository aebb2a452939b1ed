// Updater.exe run as a separate process in an install folder that is not as
// it should be: a broken config.ini, a long install path, its files held
// open by another process, a second updater checking at the same time.
#include <gtest/gtest.h>

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
const char kUpToDate[] = "当前使用版本已经是最新版本，无需升级！";
const char kExe[] = "\\Updater.exe";

std::string Report(const std::string& localBuild, const std::string& localDate)
{
    return "最新版本：V2.0\r\n发布日期：2024-02-02\r\n目前版本：" + localBuild + "\r\n版本日期：" + localDate +
           "\r\n升级内容：";
}

// Holds a file open for writing without sharing, as another program may.
class HeldFile {
public:
    explicit HeldFile(const std::string& path)
        : m_handle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr)) {}
    ~HeldFile()
    {
        if (Held())
            CloseHandle(m_handle);
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool Held() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

class LocalFaultsNet : public testing::Test {
protected:
    LocalFaultsNet() : m_server(UPDATER_TEST_PORT) {}

    // An install folder whose Updater.exe has a path of exeLength bytes
    // (0: any), with config.ini as given (null: none).
    std::unique_ptr<InstallFolder> Install(const char* config, size_t exeLength = 0)
    {
        size_t folderLength = exeLength != 0 ? exeLength - (sizeof kExe - 1) : 0;
        auto folder = std::make_unique<InstallFolder>("local-faults", folderLength);
        EXPECT_TRUE(folderLength == 0 || folder->Path().size() == folderLength) << folder->Path();
        m_updater = folder->CopyProgram("Updater.exe", "Updater.exe");
        if (config != nullptr)
            folder->WriteFile("config.ini", config);
        return folder;
    }

    void Publish(const std::string& more = "")
    {
        m_server.Serve(kDescriptorTarget,
                       HttpResponse::Bytes("[VERSION]\r\ntotal=2\r\nver=2\r\nbuild=2.0\r\ndate=2024-02-02\r\n"
                                           "[ADDRESS]\r\nurl=" + m_server.Url(kPackageTarget) +
                                           "\r\nfile=setup.exe\r\n" + more));
    }

    std::unique_ptr<TestProcess> Start(const std::string& argument)
    {
        auto updater = std::make_unique<TestProcess>(m_updater, "\"" + m_updater + "\" " + argument);
        EXPECT_TRUE(updater->Started());
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

    HttpTestServer m_server;
    std::string m_updater;
};

}  // namespace

// config.ini is only read: whatever it holds, the check runs and shows
// what the values mean, and the file is left as it was.
TEST_F(LocalFaultsNet, ABrokenConfigIsReadAsItIsAndNeverChanged)
{
    std::string garbage(4096, '\0');
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>(HttpTestServer::PatternByte(i));
    const std::string longBuild(60, 'b');
    const std::string longDate(50, 'd');
    const std::string overLong = "[OPTION]\r\ntotal=" + std::string(45, '9') + "\r\nver=1\r\nbuild=" + longBuild +
                                 "\r\ndate=" + longDate + "\r\n";
    struct Row {
        const char* name;
        const char* config;  // null: no file
        const char* argument;
        std::string report;
    } rows[] = {
        {"missing", nullptr, "/check", Report("", "")},
        {"empty", "", "/check", Report("", "")},
        {"binary garbage", garbage.c_str(), "/check", Report("", "")},
        // Cut to 39 bytes: 39 nines exceed a 32-bit float, so nothing is newer.
        {"over-long total", overLong.c_str(), "/check", kUpToDate},
        {"over-long texts", overLong.c_str(), "/show", Report(longBuild.substr(0, 39), longDate.substr(0, 39))},
    };
    Publish();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto folder = Install(row.config);
        FolderSnapshot before = SnapshotFolder(folder->Path());
        auto updater = Start(row.argument);
        StartSeen seen = WatchStart(*updater);
        ASSERT_NE(nullptr, seen.hDlg);
        EXPECT_EQ(Texts{}, seen.boxes);
        EXPECT_EQ(row.report, seen.report);
        EXPECT_EQ(row.report != kUpToDate, seen.upgradeEnabled);
        CloseAndExpectCleanEnd(*updater, seen.hDlg);
        EXPECT_EQ(Texts{"upt.cfg"}, FilesTouched(before, SnapshotFolder(folder->Path())));
    }
}

// An install path that leaves room for the program's paths works to the
// end; a longer one stops before anything is read or written, told only in
// the interactive check.
TEST_F(LocalFaultsNet, AnInstallPathThatDoesNotFitStopsTheRunBeforeAnyFileIsTouched)
{
    struct Row {
        size_t exeLength;
        const char* argument;
        bool told;
    } rows[] = {{200, "/check", true}, {250, "/check", true}, {200, "/query", false}, {250, "/show", false}};
    Publish();
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.exeLength) + " " + row.argument);
        auto folder = Install("[OPTION]\r\ntotal=1\r\nver=1\r\n", row.exeLength);
        FolderSnapshot before = SnapshotFolder(folder->Path());
        auto updater = Start(row.argument);
        StartSeen seen = WatchStart(*updater);
        EXPECT_TRUE(seen.ended) << "the dialog was shown";
        EXPECT_EQ(0u, seen.exitCode);
        Texts expected;
        if (row.told)
            expected.push_back("未找到" + m_updater.substr(0, 199) + "！错误号:206");
        EXPECT_EQ(expected, seen.boxes);
        EXPECT_EQ(Texts{}, FilesTouched(before, SnapshotFolder(folder->Path())));
    }
    EXPECT_EQ(0u, m_server.Requests().size());
}

TEST_F(LocalFaultsNet, AnInstallPathOf199BytesUpgradesToTheEnd)
{
    const std::string package = ReadFileBytes(TestBinDir() + "RecordRun.exe");
    m_server.Serve(kPackageTarget, HttpResponse::Bytes(package));
    Publish();
    auto folder = Install("[OPTION]\r\ntotal=1\r\nver=1\r\n", 199);
    ASSERT_EQ(199u, m_updater.size());
    auto updater = Start("/check");
    StartSeen seen = WatchStart(*updater);
    ASSERT_NE(nullptr, seen.hDlg);
    EXPECT_EQ(Texts{}, seen.boxes);
    ASSERT_TRUE(PressButton(seen.hDlg, IDC_BTN_UPGRADE));
    ASSERT_TRUE(updater->WaitForExit(30000));
    EXPECT_EQ(0u, updater->ExitCode());
    EXPECT_TRUE(WaitUntil([&] { return FileExists(*folder / "setup.exe.ran"); }));
    EXPECT_EQ(package, ReadFileBytes(*folder / "setup.exe"));
}

// A file that another program holds open cannot be written: the fixed
// texts tell it, the held file keeps its bytes and nothing runs.
TEST_F(LocalFaultsNet, AFileHeldOpenByAnotherProgramIsToldAndKeptAsItWas)
{
    m_server.Serve(kPackageTarget, HttpResponse::Bytes(ReadFileBytes(TestBinDir() + "RecordRun.exe")));
    Publish();
    const std::string old = "held by another program";
    auto folder = Install("[OPTION]\r\ntotal=1\r\nver=1\r\n");
    {
        SCOPED_TRACE("upt.cfg");
        folder->WriteFile("upt.cfg", old);
        HeldFile held(*folder / "upt.cfg");
        ASSERT_TRUE(held.Held());
        auto updater = Start("/check");
        StartSeen seen = WatchStart(*updater);
        ASSERT_NE(nullptr, seen.hDlg);
        EXPECT_EQ((Texts{"不能打开本地的文件!", "下载失败!", "版本检查失败！"}), seen.boxes);
        EXPECT_FALSE(seen.upgradeEnabled);
        CloseAndExpectCleanEnd(*updater, seen.hDlg);
    }
    EXPECT_EQ(old, ReadFileBytes(*folder / "upt.cfg"));
    {
        SCOPED_TRACE("the package");
        folder->WriteFile("setup.exe", old);
        HeldFile held(*folder / "setup.exe");
        ASSERT_TRUE(held.Held());
        auto updater = Start("/check");
        StartSeen seen = WatchStart(*updater);
        ASSERT_NE(nullptr, seen.hDlg);
        ASSERT_TRUE(PressButton(seen.hDlg, IDC_BTN_UPGRADE));
        MessageBoxSeen first = updater->AnswerMessageBox("Updater");
        MessageBoxSeen second = updater->AnswerMessageBox("Updater");
        EXPECT_EQ((Texts{"不能打开本地的文件!", "下载失败!"}), (Texts{first.text, second.text}));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(seen.hDlg, IDC_BTN_UPGRADE)));
        CloseAndExpectCleanEnd(*updater, seen.hDlg);
    }
    EXPECT_EQ(old, ReadFileBytes(*folder / "setup.exe"));
    EXPECT_FALSE(FileExists(*folder / "setup.exe.ran"));
}

// Two updaters checking at once share upt.cfg: the one that opens it
// second finds it held and tells so; the first one's check is whole.
TEST_F(LocalFaultsNet, ASecondUpdaterCheckingAtTheSameTimeDoesNotSpoilTheFirst)
{
    auto folder = Install("[OPTION]\r\ntotal=1\r\nver=1\r\nbuild=1.0\r\ndate=2023-01-01\r\n");
    // The descriptor trickles, so the first check holds upt.cfg for seconds.
    const std::string descriptor =
        "[VERSION]\r\ntotal=2\r\nver=2\r\nbuild=2.0\r\ndate=2024-02-02\r\n" + std::string(600, ';') + "\r\n";
    HttpResponse slow = HttpResponse::Bytes(descriptor);
    slow.trickleBytes = 20;
    slow.trickleDelayMs = 250;
    m_server.Serve(kDescriptorTarget, slow);

    auto first = Start("/check");
    ASSERT_TRUE(m_server.WaitForRequests(1));
    auto second = Start("/check");
    StartSeen secondSeen = WatchStart(*second);
    StartSeen firstSeen = WatchStart(*first);

    ASSERT_NE(nullptr, secondSeen.hDlg);
    EXPECT_EQ((Texts{"不能打开本地的文件!", "下载失败!", "版本检查失败！"}), secondSeen.boxes);
    EXPECT_FALSE(secondSeen.upgradeEnabled);
    ASSERT_NE(nullptr, firstSeen.hDlg);
    EXPECT_EQ(Texts{}, firstSeen.boxes);
    EXPECT_EQ(Report("1.0", "2023-01-01"), firstSeen.report);
    EXPECT_TRUE(firstSeen.upgradeEnabled);
    EXPECT_EQ(descriptor, ReadFileBytes(*folder / "upt.cfg"));
    CloseAndExpectCleanEnd(*second, secondSeen.hDlg);
    CloseAndExpectCleanEnd(*first, firstSeen.hDlg);
}
