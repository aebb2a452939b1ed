// The two action buttons and the progress display in the hosted dialog,
// against the loopback update server: what a click starts or refuses, what
// a progress report shows, and what completion does.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/Launcher.h"
#include "app/UpdaterDlg.h"
#include "config/AppPaths.h"
#include "download/ProgressReport.h"
#include "framework/Process.h"
#include "tests/support/DialogHost.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/TempDir.h"
#include "tests/support/Seams.h"

namespace {

const char kDescriptorTarget[] = "/soft/zevi/upt.htm";

std::string NewerDescriptor(const std::string& sections)
{
    return "[VERSION]\r\ntotal=2\r\nver=2\r\nbuild=2.0\r\ndate=d\r\n" + sections;
}

// Posts one report as the download routine does, and waits until the
// dialog has handled and freed it.
bool SendReport(HWND hDlg, const char* speed, int percent)
{
    return PostFinalReport(hDlg, speed, percent) &&
           WaitUntil([] { return ProgressReportsInFlight() == 0; });
}

class UpgradeNet : public testing::Test {
protected:
    UpgradeNet() : m_folder("upgrade"), m_server(UPDATER_TEST_PORT)
    {
        m_folder.WriteFile("config.ini", "[OPTION]\r\ntotal=1\r\nver=1\r\n");
    }

    void Publish(const std::string& sections)
    {
        m_server.Serve(kDescriptorTarget, HttpResponse::Bytes(NewerDescriptor(sections)));
    }

    // Starts the dialog in the interactive mode; driver acts on it once it
    // shows the report. Returns the exit status when the process would have
    // ended, or -1.
    long Run(const std::function<void(HWND)>& driver)
    {
        std::string exe = m_folder / "Updater.exe";
        ScopedSeams seams("\"" + exe + "\" /check", exe);
        // Bare extra-file names land in the current folder: the test's own.
        char oldDir[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, oldDir);
        SetCurrentDirectoryA(m_folder.Path().c_str());
        long exitCode = -1;
        CUpdaterDlg dlg;
        try {
            RunHostedDialog(dlg, driver);
        } catch (const CProcessExit& exit) {
            exitCode = static_cast<long>(exit.nExitCode);
        }
        SetCurrentDirectoryA(oldDir);
        m_boxes = ScopedSeams::MessageBoxes();
        return exitCode;
    }

    // Requests for target that reached the server.
    size_t RequestsFor(const std::string& target) const
    {
        size_t n = 0;
        for (const std::string& request : m_server.Requests())
            n += request.compare(0, 4 + target.size() + 1, "GET " + target + " ") == 0;
        return n;
    }

    InstallFolder m_folder;
    HttpTestServer m_server;
    std::vector<std::string> m_boxes;
};

// Main-program windows inside the test process, each recording the order in
// which WM_CLOSE reached it.
class MainProgramWindows {
public:
    explicit MainProgramWindows(std::vector<std::string> titles)
        : m_thread([this, titles] { Run(titles); })
    {
        WaitUntil([this] { return m_ready.load(); });
    }
    ~MainProgramWindows()
    {
        PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
    }
    std::vector<std::string> Closed()
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        return s_closed;
    }

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_CLOSE) {
            char title[64];
            GetWindowTextA(hWnd, title, sizeof title);
            std::lock_guard<std::mutex> lock(s_mutex);
            s_closed.push_back(title + std::string("#") +
                               std::to_string(GetWindowLongPtrA(hWnd, GWLP_USERDATA)));
            return 0;
        }
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }

    void Run(const std::vector<std::string>& titles)
    {
        m_threadId = GetCurrentThreadId();
        {
            std::lock_guard<std::mutex> lock(s_mutex);
            s_closed.clear();
        }
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kMainWindowClass;
        RegisterClassA(&wc);
        std::vector<HWND> windows;
        int n = 0;
        for (const std::string& title : titles) {
            HWND hWnd = CreateWindowA(kMainWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0,
                                      100, 100, nullptr, nullptr, wc.hInstance, nullptr);
            SetWindowLongPtrA(hWnd, GWLP_USERDATA, ++n);
            windows.push_back(hWnd);
        }
        m_ready = true;
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        for (HWND hWnd : windows)
            DestroyWindow(hWnd);
        UnregisterClassA(kMainWindowClass, wc.hInstance);
    }

    static std::mutex s_mutex;
    static std::vector<std::string> s_closed;
    std::atomic<bool> m_ready{false};
    DWORD m_threadId = 0;
    std::thread m_thread;
};
std::mutex MainProgramWindows::s_mutex;
std::vector<std::string> MainProgramWindows::s_closed;

}  // namespace

TEST_F(UpgradeNet, AReportShowsSpeedPercentAndBarAndNothingElse)
{
    Publish("");
    Run([&](HWND hDlg) {
        EXPECT_TRUE(SendReport(hDlg, "12.5 KB/秒", 57));
        EXPECT_EQ("12.5 KB/秒", DlgItemText(hDlg, IDC_STATIC_SPEED));
        EXPECT_EQ("57%", DlgItemText(hDlg, IDC_STATIC_PERCENT));
        EXPECT_EQ(57, SendDlgItemMessageA(hDlg, IDC_PROGRESS, PBM_GETPOS, 0, 0));
        EXPECT_TRUE(SendReport(hDlg, "99.0 KB/秒", 150));  // longer than announced
        EXPECT_EQ("150%", DlgItemText(hDlg, IDC_STATIC_PERCENT));
        EXPECT_TRUE(IsEnabled(hDlg, IDC_BTN_UPGRADE));  // untouched: no completion
        EXPECT_TRUE(IsWindow(hDlg));
    });
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(UpgradeNet, ThePackageIsDownloadedBesideTheProgramThenRunAndTheProcessEnds)
{
    std::string package = ReadFileBytes(TestBinDir() + "RecordRun.exe");
    ASSERT_FALSE(package.empty());
    m_server.Serve("/pkg/setup.exe", HttpResponse::Bytes(package));
    Publish("[ADDRESS]\r\nurl=" + m_server.Url("/pkg/setup.exe") + "\r\nfile=setup.exe\r\n");
    MainProgramWindows mainProgram({"Quillorn2019", "Quillorn2016"});
    long exitCode = Run([&](HWND hDlg) {
        ASSERT_TRUE(Click(hDlg, IDC_BTN_UPGRADE));
        WaitUntil([&] { return !IsWindow(hDlg); }, 60000);
    });
    EXPECT_EQ(0, exitCode);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(m_folder / "setup.exe", std::string(g_szPackagePath));
    EXPECT_EQ(package, ReadFileBytes(m_folder / "setup.exe"));
    EXPECT_TRUE(WaitUntil([&] { return FileExists(m_folder / "setup.exe.ran"); }));
    EXPECT_EQ((std::vector<std::string>{"Quillorn2019#1", "Quillorn2016#2"}), mainProgram.Closed());
}

TEST_F(UpgradeNet, PackageNamesThatLeaveTheInstallFolderAreRefused)
{
    m_server.Serve("/pkg/setup.exe", HttpResponse::Bytes("MZ"));
    for (const char* name : {"", "..", "..\\evil.exe", "sub/setup.exe", "C:x.exe", "CON", "nul.exe",
                             "LPT1.txt"}) {
        SCOPED_TRACE(std::string("file=") + name);
        Publish("[ADDRESS]\r\nurl=" + m_server.Url("/pkg/setup.exe") + "\r\nfile=" + name + "\r\n");
        Run([&](HWND hDlg) {
            ASSERT_TRUE(Click(hDlg, IDC_BTN_UPGRADE));
            ASSERT_TRUE(ScopedSeams::WaitForMessageBoxes(2));
            EXPECT_FALSE(IsEnabled(hDlg, IDC_BTN_UPGRADE));
            EXPECT_FALSE(IsEnabled(hDlg, IDC_BTN_EXTRA));
        });
        EXPECT_EQ((std::vector<std::string>{"不能打开本地的文件!", "下载失败!"}), m_boxes);
        EXPECT_EQ(0u, RequestsFor("/pkg/setup.exe"));
    }
}

TEST_F(UpgradeNet, AMissingUrlIsAskedForAndTheLongNameIsCut)
{
    std::string longName(70, 'n');
    Publish("[ADDRESS]\r\nfile=" + longName + "\r\n");
    Run([&](HWND hDlg) {
        ASSERT_TRUE(Click(hDlg, IDC_BTN_UPGRADE));
        ASSERT_TRUE(ScopedSeams::WaitForMessageBoxes(1));
        EXPECT_FALSE(IsEnabled(hDlg, IDC_BTN_UPGRADE));
        EXPECT_FALSE(IsEnabled(hDlg, IDC_BTN_EXTRA));
    });
    EXPECT_EQ(std::vector<std::string>{"请输入Internet文件的URL!"}, m_boxes);
    EXPECT_EQ(m_folder / longName.substr(0, 59), std::string(g_szPackagePath));
}

TEST(PackagePath, IsTheProgramsFolderAndTheName)
{
    ScopedSeams seams("D:\\Apps\\Viraz\\Updater.exe /check", "D:\\Apps\\Viraz\\Updater.exe");
    FormPackagePath("setup.exe");
    EXPECT_STREQ("D:\\Apps\\Viraz\\setup.exe", g_szPackagePath);
    FormPackagePath("");
    EXPECT_STREQ("D:\\Apps\\Viraz\\", g_szPackagePath);
}

TEST_F(UpgradeNet, ExtraFileIsDownloadedAsNamedAndItsMessageShown)
{
    m_server.Serve("/extra/articles.txt", HttpResponse::Bytes("lesson text"));
    Publish("[ADDITIONAL]\r\nvisible=1\r\ncaption=下载文章\r\ntarget=file\r\nurl=" +
            m_server.Url("/extra/articles.txt") + "\r\nfile=articles.txt\r\nmsg=文章已下载\r\n");
    MainProgramWindows mainProgram({"Quillorn2019", "Quillorn2019", "Quillorn2016"});
    long exitCode = Run([&](HWND hDlg) {
        ASSERT_TRUE(Click(hDlg, IDC_BTN_EXTRA));
        ASSERT_TRUE(ScopedSeams::WaitForMessageBoxes(1));
        EXPECT_TRUE(WaitUntil([&] { return IsEnabled(hDlg, IDC_BTN_EXTRA); }));
        EXPECT_TRUE(IsEnabled(hDlg, IDC_BTN_UPGRADE));
        EXPECT_EQ("100%", DlgItemText(hDlg, IDC_STATIC_PERCENT));
    });
    EXPECT_EQ(-1, exitCode);  // the dialog stayed until the test closed it
    EXPECT_EQ(std::vector<std::string>{"文章已下载"}, m_boxes);
    EXPECT_EQ("lesson text", ReadFileBytes(m_folder / "articles.txt"));
    // One of the two "Quillorn2019" windows (the first found), then the older title.
    std::vector<std::string> closed = mainProgram.Closed();
    ASSERT_EQ(2u, closed.size());
    EXPECT_EQ(0u, closed[0].find("Quillorn2019#"));
    EXPECT_EQ("Quillorn2016#3", closed[1]);
}

TEST_F(UpgradeNet, CompletingAnExtraDownloadShowsItsMessageCutToTheBuffer)
{
    std::string gbk250;
    for (int i = 0; i < 125; ++i)
        gbk250 += "升";
    struct {
        std::string msgLine;
        std::string shown;
    } cases[] = {{"msg=已完成\r\n", "已完成"}, {"", ""}, {"msg=" + gbk250 + "\r\n", gbk250.substr(0, 198)}};
    for (const auto& c : cases) {
        // A target other than "file" with no address: the click only selects
        // the extra kind.
        Publish("[ADDITIONAL]\r\nvisible=1\r\ntarget=page\r\n" + c.msgLine);
        Run([&](HWND hDlg) {
            ASSERT_TRUE(Click(hDlg, IDC_BTN_EXTRA));
            ASSERT_TRUE(SendReport(hDlg, "1.0 KB/秒", 100));
            ASSERT_TRUE(ScopedSeams::WaitForMessageBoxes(1));
            EXPECT_TRUE(IsEnabled(hDlg, IDC_BTN_UPGRADE));
            EXPECT_TRUE(IsEnabled(hDlg, IDC_BTN_EXTRA));
        });
        EXPECT_EQ(std::vector<std::string>{c.shown}, m_boxes);
    }
}

TEST_F(UpgradeNet, OnlyTargetFileDownloadsAndOnlyWebAddressesWouldOpen)
{
    m_server.Serve("/extra/x.txt", HttpResponse::Bytes("x"));
    for (const char* target : {"File", "FILE", ""}) {
        SCOPED_TRACE(std::string("target=") + target);
        // Not a web address: nothing is handed to the shell either.
        Publish(std::string("[ADDITIONAL]\r\nvisible=1\r\ntarget=") + target +
                "\r\nurl=C:\\Windows\\notepad.exe\r\nfile=x.txt\r\n");
        Run([&](HWND hDlg) {
            ASSERT_TRUE(Click(hDlg, IDC_BTN_EXTRA));
            EXPECT_TRUE(IsEnabled(hDlg, IDC_BTN_UPGRADE));
            EXPECT_TRUE(IsEnabled(hDlg, IDC_BTN_EXTRA));
        });
        EXPECT_TRUE(m_boxes.empty());
    }
    EXPECT_EQ(0u, RequestsFor("/extra/x.txt"));
}

TEST_F(UpgradeNet, ExtraUrlIsCutTo199AndAnEmptyOneFailsAsADownload)
{
    std::string base = m_server.Url("/");
    std::string longUrl = base + std::string(250 - base.size(), 'a');
    std::string cutTarget = "/" + std::string(199 - base.size(), 'a');
    m_server.Serve(cutTarget, HttpResponse::Bytes("cut"));
    for (const std::string& url : {longUrl, std::string()}) {
        Publish("[ADDITIONAL]\r\nvisible=1\r\ntarget=file\r\nurl=" + url + "\r\nfile=x.txt\r\n");
        Run([&](HWND hDlg) {
            ASSERT_TRUE(Click(hDlg, IDC_BTN_EXTRA));
            if (url.empty()) {
                ASSERT_TRUE(ScopedSeams::WaitForMessageBoxes(1));
                EXPECT_FALSE(IsEnabled(hDlg, IDC_BTN_UPGRADE));
                EXPECT_FALSE(IsEnabled(hDlg, IDC_BTN_EXTRA));
            } else {
                EXPECT_TRUE(m_server.WaitForRequests(2));
            }
        });
        if (url.empty()) {
            ASSERT_FALSE(m_boxes.empty());
            EXPECT_EQ("下载失败!", m_boxes.back());
        }
    }
    EXPECT_EQ(1u, RequestsFor(cutTarget));
}
