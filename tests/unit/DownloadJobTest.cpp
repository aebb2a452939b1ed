#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "download/DownloadJob.h"
#include "download/ProgressReport.h"
#include "tests/support/DeleteWatch.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/ProgressWindow.h"
#include "tests/support/Seams.h"
#include "tests/support/TempDir.h"

namespace {

using Boxes = std::vector<std::string>;

// What StartDownloadJob asked of the thread start.
struct StartRequest {
    AFX_THREADPROC proc = nullptr;
    int priority = -1;
    UINT stackSize = 1;
    DWORD flags = 1;
    LPSECURITY_ATTRIBUTES security = nullptr;
};

StartRequest g_request;
HANDLE g_hWorker = nullptr;

void Record(AFX_THREADPROC proc, LPVOID pJob, int nPriority, UINT nStackSize, DWORD dwFlags,
            LPSECURITY_ATTRIBUTES lpSecurity)
{
    g_request = StartRequest{proc, nPriority, nStackSize, dwFlags, lpSecurity};
    WatchForDelete(pJob);
}

// Starts the worker as asked, keeping a handle of the test's own to wait
// for its end and read its exit code.
CWinThread* StartWatched(AFX_THREADPROC proc, LPVOID pJob, int nPriority, UINT nStackSize, DWORD dwFlags,
                         LPSECURITY_ATTRIBUTES lpSecurity)
{
    Record(proc, pJob, nPriority, nStackSize, dwFlags, lpSecurity);
    CWinThread* pThread = AfxBeginThread(proc, pJob, nPriority, nStackSize, dwFlags | CREATE_SUSPENDED, lpSecurity);
    DuplicateHandle(GetCurrentProcess(), pThread->m_hThread, GetCurrentProcess(), &g_hWorker, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    pThread->ResumeThread();
    return pThread;
}

CWinThread* FailToStart(AFX_THREADPROC proc, LPVOID pJob, int nPriority, UINT nStackSize, DWORD dwFlags,
                        LPSECURITY_ATTRIBUTES lpSecurity)
{
    Record(proc, pJob, nPriority, nStackSize, dwFlags, lpSecurity);
    return nullptr;
}

void ExpectStartedAsTheProgramDoes()
{
    EXPECT_EQ(&DownloadThreadProc, g_request.proc);
    EXPECT_EQ(THREAD_PRIORITY_NORMAL, g_request.priority);
    EXPECT_EQ(0u, g_request.stackSize);
    EXPECT_EQ(0u, g_request.flags);
    EXPECT_EQ(nullptr, g_request.security);
}

struct JobOutcome {
    DWORD exitCode;
    std::vector<HandledReport> reports;
    Boxes boxes;
};

// Runs one job through StartDownloadJob while this thread shows its
// reports in a real window, as the dialog's thread does.
JobOutcome RunJob(const std::string& url, const std::string& path,
                  std::function<void(const HandledReport&)> onReport = nullptr)
{
    ScopedSeams seams("Updater.exe /check", "C:\\Q\\Updater.exe");
    ProgressWindow window;
    window.OnReport(std::move(onReport));
    StartDownloadJob(window.Handle(), url.c_str(), path.c_str(), StartWatched);
    EXPECT_TRUE(window.PumpUntilSignalled(g_hWorker, 120000));
    DWORD exitCode = 0xFFFF;
    GetExitCodeThread(g_hWorker, &exitCode);
    CloseHandle(g_hWorker);
    return JobOutcome{exitCode, window.Reports(), ScopedSeams::MessageBoxes()};
}

HttpResponse ShortOf(uint64_t length, uint64_t sent)
{
    HttpResponse r = HttpResponse::Pattern(length);
    r.cut = BodyCut::Close;
    r.cutAfter = sent;
    return r;
}

// Makes a folder the current one for the length of a test.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& path)
    {
        GetCurrentDirectoryA(MAX_PATH, m_saved);
        SetCurrentDirectoryA(path.c_str());
    }
    ~CurrentDirectory() { SetCurrentDirectoryA(m_saved); }

private:
    char m_saved[MAX_PATH];
};

}  // namespace

TEST(DownloadJob, WorkerTellsEachFailureOnceAfterTheRoutinesOwnMessage)
{
    struct Case {
        const char* name;
        HttpResponse response;
        std::string path;
        DWORD exitCode;
        Boxes boxes;
    } cases[] = {
        {"success", HttpResponse::Pattern(50000), "bare.bin", 1, {}},
        {"error status", HttpResponse::Status(404, "Not Found", "<html/>"), "bare.bin", 0, {"下载失败!"}},
        {"missing folder", HttpResponse::Pattern(50000), "no such folder\\bare.bin", 0,
         {"不能打开本地的文件!", "下载失败!"}},
        {"short body", ShortOf(50000, 20000), "bare.bin", 0, {"读文件出错!", "下载失败!"}},
        {"empty body", HttpResponse::Bytes(""), "bare.bin", 0, {"下载失败!"}},
        {"failed write", HttpResponse::Pattern(50000), "Z:\\dev\\full", 0, {"下载失败!"}},
    };
    HttpTestServer server;
    TempDir dir;
    CurrentDirectory inDir(dir.Path());  // a bare file name lands here
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.Serve("/pkg.exe", c.response);
        JobOutcome outcome = RunJob(server.Url("/pkg.exe"), c.path);
        ExpectStartedAsTheProgramDoes();
        EXPECT_TRUE(WatchedBlockDeleted()) << "the job was not freed";
        EXPECT_EQ(c.exitCode, outcome.exitCode);
        EXPECT_EQ(c.boxes, outcome.boxes);
        bool completed = !outcome.reports.empty() && outcome.reports.back().percent == 100;
        EXPECT_EQ(c.exitCode == 1, completed);
        if (c.exitCode == 1) {
            EXPECT_TRUE(HttpTestServer::FileHoldsPattern(dir.File(c.path), 50000));
        }
    }
}

TEST(DownloadJob, JobIsFreedBeforeTheDownloadStarts)
{
    HttpTestServer server;
    server.Serve("/pkg.exe", HttpResponse::Silent());
    TempDir dir;
    ScopedSeams seams("Updater.exe /check", "C:\\Q\\Updater.exe");
    ProgressWindow window;
    StartDownloadJob(window.Handle(), server.Url("/pkg.exe").c_str(), dir.File("pkg.exe").c_str(), StartWatched);
    // The worker now waits inside the download for an answer that never comes.
    ASSERT_TRUE(server.WaitForRequests(1));
    EXPECT_TRUE(WatchedBlockDeleted());
    EXPECT_TRUE(window.PumpUntilSignalled(g_hWorker));
    DWORD exitCode = 0xFFFF;
    GetExitCodeThread(g_hWorker, &exitCode);
    CloseHandle(g_hWorker);
    EXPECT_EQ(0u, exitCode);
    EXPECT_EQ(Boxes{"下载失败!"}, ScopedSeams::MessageBoxes());
}

TEST(DownloadJob, JobWhoseThreadCannotStartIsFreedAndReported)
{
    ScopedSeams seams("Updater.exe /check", "C:\\Q\\Updater.exe");
    StartDownloadJob(nullptr, "http://127.0.0.1:1/pkg.exe", "pkg.exe", FailToStart);
    ExpectStartedAsTheProgramDoes();
    EXPECT_TRUE(WatchedBlockDeleted());
    EXPECT_EQ(Boxes{"下载失败!"}, ScopedSeams::MessageBoxes());
}

// Hundreds of megabytes into a real window that shows every report: the
// queue never fills, the last report is the completing one, and every
// report posted is handled.
TEST(DownloadJob, LongDownloadKeepsTheWindowsQueueShort)
{
    const uint64_t length = 300ull << 20;
    HttpTestServer server;
    server.Serve("/big.exe", HttpResponse::Pattern(length));
    TempDir dir;
    bool closedBeforeCompletion = false;
    JobOutcome outcome = RunJob(server.Url("/big.exe"), dir.File("big.exe"), [&](const HandledReport& r) {
        if (r.percent == 100)
            closedBeforeCompletion = CanOpenForReading(dir.File("big.exe"));
    });
    EXPECT_EQ(1u, outcome.exitCode);
    EXPECT_TRUE(closedBeforeCompletion) << "the report of 100 came while the file was still open";
    EXPECT_EQ(Boxes{}, outcome.boxes);
    EXPECT_EQ(0, ProgressReportsInFlight());
    ASSERT_GT(outcome.reports.size(), 2u);
    EXPECT_EQ(100, outcome.reports.back().percent);
    int highestInFlight = 0;
    for (size_t i = 0; i + 1 < outcome.reports.size(); ++i) {
        EXPECT_LT(outcome.reports[i].percent, 100) << "report " << i;
        EXPECT_LE(outcome.reports[i].percent, outcome.reports[i + 1].percent) << "report " << i;
    }
    for (const HandledReport& r : outcome.reports)
        highestInFlight = std::max(highestInFlight, r.inFlight);
    EXPECT_LE(highestInFlight, 2);
    EXPECT_TRUE(HttpTestServer::FileHoldsPattern(dir.File("big.exe"), length));
    std::printf("%zu reports handled for %llu bytes\n", outcome.reports.size(),
                static_cast<unsigned long long>(length));
}
