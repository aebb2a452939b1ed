// Updater.exe run as a separate process while the user, or the main
// program, does what the upgrade does not expect: the dialog closed in the
// middle of a download, "升级" pressed twice, the About box open when the
// download completes, two main-program windows open.
#include <gtest/gtest.h>

#include <algorithm>
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

const char kDescriptorTarget[] = "/soft/zevi/upt.htm";
const char kPackageTarget[] = "/pkg/setup.exe";
const char kExtraTarget[] = "/extra.dat";
const char kAboutCaption[] = "关于 Updater";
const char kExtraMessage[] = "附加文件已下载";

// Slow enough for the user to act while it runs, well inside the network
// time bound between pieces.
HttpResponse Trickled(std::string body)
{
    HttpResponse r = HttpResponse::Bytes(std::move(body));
    r.trickleBytes = 32 * 1024;
    r.trickleDelayMs = 100;
    return r;
}

// Clicks the button twice in a row with the real mouse, so that the second
// click is queued before the first has been handled.
bool DoubleClickWithTheMouse(HWND hButton)
{
    RECT rect;
    if (!GetWindowRect(hButton, &rect) ||
        !SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2))
        return false;
    INPUT clicks[4] = {};
    const DWORD flags[4] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 4; ++i) {
        clicks[i].type = INPUT_MOUSE;
        clicks[i].mi.dwFlags = flags[i];
    }
    return SendInput(4, clicks, sizeof clicks[0]) == 4;
}

// Position of hWnd in the z-order of the top-level windows; -1 if absent.
int ZOrderOf(HWND hWnd)
{
    int position = 0;
    for (HWND h = GetTopWindow(nullptr); h != nullptr; h = GetWindow(h, GW_HWNDNEXT), ++position) {
        if (h == hWnd)
            return position;
    }
    return -1;
}

class UserFaultsNet : public testing::Test {
protected:
    UserFaultsNet() : m_folder("user-faults"), m_server(UPDATER_TEST_PORT)
    {
        m_updater = m_folder.CopyProgram("Updater.exe", "Updater.exe");
        m_zevi = m_folder.CopyProgram("Zevi.exe", "Zevi\\Zevi.exe");
        m_folder.WriteFile("config.ini", "[OPTION]\r\ntotal=1\r\nver=1\r\nfolder=Zevi\r\n");
        m_package = ReadFileBytes(TestBinDir() + "RecordRun.exe") + std::string(1200 * 1024, 'p');
        m_server.Serve(kPackageTarget, Trickled(m_package));
        m_server.Serve(kExtraTarget, Trickled(std::string(800 * 1024, 'x')));
        m_server.Serve(kDescriptorTarget,
                       HttpResponse::Bytes("[VERSION]\r\ntotal=2\r\nver=2\r\n[ADDRESS]\r\nurl=" +
                                           m_server.Url(kPackageTarget) + "\r\nfile=setup.exe\r\n"
                                           "[ADDITIONAL]\r\nvisible=1\r\ncaption=附加文件\r\ntarget=file\r\nurl=" +
                                           m_server.Url(kExtraTarget) + "\r\nfile=extra.dat\r\nmsg=" +
                                           kExtraMessage + "\r\n"));
        m_before = SnapshotFolder(m_folder.Path());
    }

    // Starts the check and returns its dialog, shown with no box before it.
    HWND StartCheck()
    {
        m_process = std::make_unique<TestProcess>(m_updater, "\"" + m_updater + "\" /check");
        StartSeen seen = WatchStart(*m_process);
        EXPECT_TRUE(seen.boxes.empty());
        return seen.hDlg;
    }

    // Waits until the running download has shown a percent above 0.
    static bool DownloadIsUnderWay(HWND hDlg)
    {
        return WaitUntil([&] { return DlgItemText(hDlg, IDC_STATIC_PERCENT) != "0%"; });
    }

    // The stand-in main program with its window up, recording into log.
    std::unique_ptr<TestProcess> StartMainProgram(const char* title, const std::string& log)
    {
        auto zevi = std::make_unique<TestProcess>(m_zevi, "\"" + m_zevi + "\" " + title + " \"" + log + "\"");
        EXPECT_NE(nullptr, zevi->WaitForWindow("ThunderRT6FormDC", title));
        return zevi;
    }

    void ExpectOnlyOwnFilesTouched(std::vector<std::string> allowed)
    {
        allowed.insert(allowed.end(), {"upt.cfg", "setup.exe", "setup.exe.ran"});
        for (const std::string& name : FilesTouched(m_before, SnapshotFolder(m_folder.Path())))
            EXPECT_NE(allowed.end(), std::find(allowed.begin(), allowed.end(), name)) << name;
    }

    size_t PackageRuns() const { return ReadLines(m_folder / "setup.exe.ran").size(); }

    InstallFolder m_folder;
    HttpTestServer m_server;
    std::string m_updater;
    std::string m_zevi;
    std::string m_package;
    FolderSnapshot m_before;
    std::unique_ptr<TestProcess> m_process;
};

}  // namespace

// Closing the dialog ends the process with 0 while the worker still
// downloads; nothing is left running and the part downloaded never runs.
TEST_F(UserFaultsNet, ClosingTheDialogMidDownloadEndsTheProcessAtOnce)
{
    struct Row {
        const char* name;
        UINT message;
        WPARAM wParam;
    } rows[] = {
        {"the 关闭 button", WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED)},
        {"the caption's close box", WM_SYSCOMMAND, SC_CLOSE},
        {"Escape", WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HWND hDlg = StartCheck();
        ASSERT_NE(nullptr, hDlg);
        ASSERT_TRUE(PressButton(hDlg, IDC_BTN_UPGRADE));
        ASSERT_TRUE(DownloadIsUnderWay(hDlg));
        PostMessageA(hDlg, row.message, row.wParam, 0);
        // A generous bound: the process must not wait for the download.
        ASSERT_TRUE(m_process->WaitForExit(10000)) << "the process waited for its download";
        EXPECT_EQ(0u, m_process->ExitCode());
        EXPECT_TRUE(ProcessesRunningFrom(m_folder.Path()).empty());
        EXPECT_EQ(0u, PackageRuns());
        EXPECT_GT(m_package.size(), ReadFileBytes(m_folder / "setup.exe").size());
    }
    ExpectOnlyOwnFilesTouched({});
}

// The same rows with the real mouse: they run alone (see tests/CMakeLists.txt).
namespace {
class UserMouseSerial : public UserFaultsNet {};
}  // namespace

// The first click disables the button; a second click close behind it
// starts no second download.
TEST_F(UserMouseSerial, PressingUpgradeTwiceQuicklyDownloadsAndRunsThePackageOnce)
{
    HWND hDlg = StartCheck();
    ASSERT_NE(nullptr, hDlg);
    SetForegroundWindow(hDlg);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == hDlg; }));
    ASSERT_TRUE(DoubleClickWithTheMouse(GetDlgItem(hDlg, IDC_BTN_UPGRADE)));
    auto packageRequested = [&] {
        for (const std::string& request : m_server.Requests())
            if (request.find(std::string("GET ") + kPackageTarget + " ") == 0)
                return true;
        return false;
    };
    // In a fresh X session the synthesized clicks sometimes never reach the
    // dialog; that says nothing about the program, so the row is skipped.
    if (!WaitUntil(packageRequested, 20000) && m_process->IsRunning())
        GTEST_SKIP() << "the mouse clicks did not reach the dialog in this X session";
    ASSERT_TRUE(m_process->WaitForExit(60000));
    EXPECT_EQ(0u, m_process->ExitCode());
    EXPECT_TRUE(WaitUntil([&] { return PackageRuns() > 0; }));
    EXPECT_EQ(1u, PackageRuns());
    size_t packageRequests = 0;
    for (const std::string& request : m_server.Requests())
        packageRequests += request.find(std::string("GET ") + kPackageTarget + " ") == 0;
    EXPECT_EQ(1u, packageRequests);
    EXPECT_EQ(m_package, ReadFileBytes(m_folder / "setup.exe"));
}

// Completion does not wait for the About box: the package runs and the
// process ends while the box is still open.
TEST_F(UserFaultsNet, ThePackageRunsWhenItCompletesWhileTheAboutBoxIsOpen)
{
    HWND hDlg = StartCheck();
    ASSERT_NE(nullptr, hDlg);
    ASSERT_TRUE(PressButton(hDlg, IDC_BTN_UPGRADE));
    ASSERT_TRUE(DownloadIsUnderWay(hDlg));
    PostMessageA(hDlg, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    ASSERT_NE(nullptr, m_process->WaitForDialog(kAboutCaption, IDOK));
    EXPECT_EQ(0u, PackageRuns()) << "completed before the About box was open";
    ASSERT_TRUE(m_process->WaitForExit(60000));
    EXPECT_EQ(0u, m_process->ExitCode());
    EXPECT_TRUE(WaitUntil([&] { return PackageRuns() == 1; }));
    EXPECT_EQ(m_package, ReadFileBytes(m_folder / "setup.exe"));
}

// The extra file's message comes above the open About box; answering it
// leaves the About box modal, and closing that gives back the dialog with
// both buttons enabled.
TEST_F(UserFaultsNet, TheExtraMessageComesAboveTheOpenAboutBoxAndKeepsItModal)
{
    HWND hDlg = StartCheck();
    ASSERT_NE(nullptr, hDlg);
    ASSERT_TRUE(PressButton(hDlg, IDC_BTN_EXTRA));
    ASSERT_TRUE(DownloadIsUnderWay(hDlg));
    PostMessageA(hDlg, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND hAbout = m_process->WaitForDialog(kAboutCaption, IDOK);
    ASSERT_NE(nullptr, hAbout);

    HWND hBox = m_process->WaitForMessageBox("Updater", 60000);
    ASSERT_NE(nullptr, hBox);
    EXPECT_EQ(kExtraMessage, WindowText(GetDlgItem(hBox, 0xFFFF)));
    ASSERT_TRUE(IsWindowVisible(hAbout));
    EXPECT_LT(ZOrderOf(hBox), ZOrderOf(hAbout)) << "the message is behind the About box";
    ASSERT_TRUE(PressButton(hBox, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(hBox); }));

    EXPECT_TRUE(IsWindowVisible(hAbout));
    EXPECT_FALSE(IsWindowEnabled(hDlg)) << "the dialog takes input while the About box is open";
    ASSERT_TRUE(PressButton(hAbout, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(hDlg) != FALSE; }));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hDlg, IDC_BTN_UPGRADE)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hDlg, IDC_BTN_EXTRA)));
    EXPECT_EQ(std::string(800 * 1024, 'x'), ReadFileBytes(m_folder / "extra.dat"));
    ASSERT_TRUE(PressButton(hDlg, IDOK));
    ASSERT_TRUE(m_process->WaitForExit());
    EXPECT_EQ(0u, m_process->ExitCode());
    ExpectOnlyOwnFilesTouched({"extra.dat"});
}

// With two main-program windows open, one per title is asked to close:
// two of "Quillorn2019" give one close, one of each title give two.
TEST_F(UserFaultsNet, TwoMainProgramWindowsAreAskedToCloseOncePerTitle)
{
    struct Row {
        const char* titles[2];
        size_t closes;
    } rows[] = {{{"Quillorn2019", "Quillorn2019"}, 1}, {{"Quillorn2019", "Quillorn2016"}, 2}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.titles[0]) + " + " + row.titles[1]);
        DeleteFileA((m_folder / "setup.exe.ran").c_str());
        std::vector<std::string> logs = {m_folder / "Zevi\\a.log", m_folder / "Zevi\\b.log"};
        auto first = StartMainProgram(row.titles[0], logs[0]);
        auto second = StartMainProgram(row.titles[1], logs[1]);
        HWND hDlg = StartCheck();
        ASSERT_NE(nullptr, hDlg);
        ASSERT_TRUE(PressButton(hDlg, IDC_BTN_UPGRADE));
        ASSERT_TRUE(m_process->WaitForExit(60000));
        EXPECT_EQ(0u, m_process->ExitCode());
        EXPECT_TRUE(WaitUntil([&] { return PackageRuns() == 1; }));
        size_t closes = 0;
        for (const std::string& log : logs) {
            std::vector<std::string> lines = ReadLines(log);
            closes += std::count(lines.begin(), lines.end(), "close");
            DeleteFileA(log.c_str());
        }
        EXPECT_EQ(row.closes, closes);
    }
}
