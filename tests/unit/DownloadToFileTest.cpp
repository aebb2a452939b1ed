#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "download/DownloadToFile.h"
#include "download/ProgressReport.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/ProgressWindow.h"
#include "tests/support/Seams.h"
#include "tests/support/TempDir.h"

namespace {

using Boxes = std::vector<std::string>;

const std::string kOldContents = "the file as it was before";

struct Outcome {
    int result;
    std::vector<HandledReport> reports;
    Boxes boxes;
};

// Runs DownloadToFile on a worker thread, as the program does, while this
// thread shows the reports in a real window.
Outcome Download(const std::string& url, const std::string& path, int bPostProgress,
                 std::function<void(const HandledReport&)> onReport = nullptr)
{
    ScopedSeams seams("Updater.exe /check", "C:\\Q\\Updater.exe");
    ProgressWindow window;
    window.OnReport(std::move(onReport));
    std::atomic<bool> done{false};
    int result = 0;
    std::thread worker([&] {
        result = DownloadToFile(window.Handle(), url.c_str(), path.c_str(), bPostProgress);
        done = true;
    });
    bool drained = window.PumpUntil([&] { return done.load(); });
    worker.join();
    EXPECT_TRUE(drained) << "reports still in flight";
    return Outcome{result, window.Reports(), ScopedSeams::MessageBoxes()};
}

// The reports of a complete download: percents that never fall, the one
// carrying 100 last, never more than one block report and the final one
// waiting at a time.
void ExpectCompleteProgress(const std::vector<HandledReport>& reports)
{
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(100, reports.back().percent);
    for (size_t i = 0; i + 1 < reports.size(); ++i) {
        EXPECT_LT(reports[i].percent, 100) << "report " << i;
        EXPECT_LE(reports[i].percent, reports[i + 1].percent) << "report " << i;
    }
    for (const HandledReport& r : reports)
        EXPECT_LE(r.inFlight, 2);
}

std::string PatternBytes(size_t length)
{
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(HttpTestServer::PatternByte(i));
    return bytes;
}

HttpResponse Framed(HttpResponse r, BodyFraming framing)
{
    r.framing = framing;
    return r;
}

HttpResponse Cut(uint64_t length, BodyCut cut, uint64_t after)
{
    HttpResponse r = HttpResponse::Pattern(length);
    r.cut = cut;
    r.cutAfter = after;
    return r;
}

}  // namespace

TEST(DownloadToFile, SendsOneGetWithTheFixedHeadersAsWinInetDoesForOpenUrl)
{
    HttpTestServer server;
    server.Serve("/soft/zevi/upt.htm?x=1", HttpResponse::Bytes("[UPDATE]\r\n"));
    TempDir dir;
    Outcome outcome = Download(server.Url("/soft/zevi/upt.htm?x=1"), dir.File("upt.cfg"), 0);
    EXPECT_EQ(0, outcome.result);
    const std::string expected =
        "GET /soft/zevi/upt.htm?x=1 HTTP/1.1\r\n"
        "Accept: */*\r\n"
        "Accept: */*\r\n"
        "Accept-Language: zh-cn\r\n"
        "Accept-Encoding: ,deflate\r\n"
        "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR 1.1.4322)\r\n"
        "Host: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"
        "Pragma: no-cache\r\n"
        "\r\n";
    EXPECT_EQ(std::vector<std::string>{expected}, server.Requests());
    EXPECT_EQ("[UPDATE]\r\n", ReadFileBytes(dir.File("upt.cfg")));
}

TEST(DownloadToFile, EmptyBodySucceedsWithoutReportsOnlyWhenNotPosting)
{
    struct Case {
        BodyFraming framing;
        int post;
        int result;
    } cases[] = {
        {BodyFraming::ContentLength, 0, 0},
        {BodyFraming::Chunked, 0, 0},
        {BodyFraming::ContentLength, 1, -1},  // a package of no bytes is no package
        {BodyFraming::CloseDelimited, 1, -1},
    };
    HttpTestServer server;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "framing " << static_cast<int>(c.framing) << ", post " << c.post);
        server.Serve("/empty", Framed(HttpResponse::Bytes(""), c.framing));
        TempDir dir;
        WriteFileBytes(dir.File("out"), kOldContents);
        Outcome outcome = Download(server.Url("/empty"), dir.File("out"), c.post);
        EXPECT_EQ(c.result, outcome.result);
        EXPECT_EQ("", ReadFileBytes(dir.File("out")));
        EXPECT_TRUE(outcome.reports.empty());
        EXPECT_EQ(Boxes{}, outcome.boxes);
    }
}

TEST(DownloadToFile, OneFullBlockGivesOneReportOfHundredAtTheTenMillisecondRate)
{
    HttpTestServer server;
    server.Serve("/block", HttpResponse::Pattern(16384));
    TempDir dir;
    bool closedBeforeCompletion = false;
    Outcome outcome = Download(server.Url("/block"), dir.File("out"), 1, [&](const HandledReport&) {
        closedBeforeCompletion = CanOpenForReading(dir.File("out"));
    });
    EXPECT_EQ(0, outcome.result);
    EXPECT_TRUE(closedBeforeCompletion) << "the report of 100 came while the file was still open";
    ASSERT_EQ(1u, outcome.reports.size());
    EXPECT_EQ(100, outcome.reports[0].percent);
    EXPECT_EQ("1600.0 KB/秒", outcome.reports[0].speed);
    EXPECT_TRUE(HttpTestServer::FileHoldsPattern(dir.File("out"), 16384));
}

TEST(DownloadToFile, BodyWithoutLengthCompletesWithOneFinalReport)
{
    HttpTestServer server;
    TempDir dir;
    for (BodyFraming framing : {BodyFraming::CloseDelimited, BodyFraming::Chunked}) {
        SCOPED_TRACE(static_cast<int>(framing));
        server.Serve("/block", Framed(HttpResponse::Pattern(16384), framing));
        Outcome outcome = Download(server.Url("/block"), dir.File("out"), 1);
        EXPECT_EQ(0, outcome.result);
        ASSERT_FALSE(outcome.reports.empty());
        EXPECT_EQ(100, outcome.reports.back().percent);
        // The final report's rate counts the whole body, like the last block's.
        EXPECT_EQ(outcome.reports.front().speed, outcome.reports.back().speed);
        outcome.reports.pop_back();
        for (const HandledReport& r : outcome.reports)
            EXPECT_EQ(0, r.percent);
        EXPECT_TRUE(HttpTestServer::FileHoldsPattern(dir.File("out"), 16384));
    }
}

TEST(DownloadToFile, ManyBlocksReachHundredOnlyWithTheLastReport)
{
    const uint64_t length = 5000000;
    HttpTestServer server;
    TempDir dir;
    for (BodyFraming framing : {BodyFraming::ContentLength, BodyFraming::CloseDelimited, BodyFraming::Chunked}) {
        SCOPED_TRACE(static_cast<int>(framing));
        server.Serve("/big", Framed(HttpResponse::Pattern(length), framing));
        Outcome outcome = Download(server.Url("/big"), dir.File("out"), 1);
        EXPECT_EQ(0, outcome.result);
        ExpectCompleteProgress(outcome.reports);
        EXPECT_TRUE(HttpTestServer::FileHoldsPattern(dir.File("out"), length));
        EXPECT_EQ(Boxes{}, outcome.boxes);
    }
}

TEST(DownloadToFile, SlowTrickleIsNotATimeoutAndItsPercentsRise)
{
    HttpResponse trickle = HttpResponse::Pattern(40000);
    trickle.trickleBytes = 2000;
    trickle.trickleDelayMs = 50;
    HttpTestServer server;
    server.Serve("/slow", trickle);
    TempDir dir;
    Outcome outcome = Download(server.Url("/slow"), dir.File("out"), 1);
    EXPECT_EQ(0, outcome.result);
    ExpectCompleteProgress(outcome.reports);
    EXPECT_GT(outcome.reports.size(), 2u);
    EXPECT_TRUE(HttpTestServer::FileHoldsPattern(dir.File("out"), 40000));
}

TEST(DownloadToFile, BlockReportsComeAtMostEveryTwentyFiveMilliseconds)
{
    // A block every 5 ms to an idle window: one report a block would be ~120.
    HttpResponse steady = HttpResponse::Pattern(120 * 16384);
    steady.trickleBytes = 16384;
    steady.trickleDelayMs = 5;
    HttpTestServer server;
    server.Serve("/steady", steady);
    TempDir dir;
    const DWORD start = GetTickCount();
    Outcome outcome = Download(server.Url("/steady"), dir.File("out"), 1);
    const DWORD elapsedMs = GetTickCount() - start;
    EXPECT_EQ(0, outcome.result);
    ExpectCompleteProgress(outcome.reports);
    // The first block's report, one per 25 ms after it, and the final one.
    EXPECT_LE(outcome.reports.size(), elapsedMs / 25 + 2) << "in " << elapsedMs << " ms";
    EXPECT_GT(outcome.reports.size(), 2u);
}

TEST(DownloadToFile, PostingOffPostsAndAllocatesNothing)
{
    HttpTestServer server;
    server.Serve("/big", HttpResponse::Pattern(3000000));
    TempDir dir;
    Outcome outcome = Download(server.Url("/big"), dir.File("out"), 0);
    EXPECT_EQ(0, outcome.result);
    EXPECT_TRUE(outcome.reports.empty());
    EXPECT_EQ(0, ProgressReportsInFlight());
    EXPECT_TRUE(HttpTestServer::FileHoldsPattern(dir.File("out"), 3000000));
}

// Failures found before the local file is opened leave it as it was, and
// have no message of the routine's own.
TEST(DownloadToFile, RefusedResponsesLeaveTheOldFileAndShowNothing)
{
    unsigned short closedPort;
    {
        HttpTestServer gone;
        closedPort = gone.Port();
    }
    HttpTestServer server;
    server.Serve("/missing", HttpResponse::Status(404, "Not Found", "<html>404</html>"));
    server.Serve("/broken", HttpResponse::Status(500, "Internal Server Error", "<html>500</html>"));
    server.Serve("/moved", HttpResponse::Status(302, "Found", "<html>no location</html>"));
    server.Serve("/silent", HttpResponse::Silent());
    const std::string port = std::to_string(server.Port());
    const std::string urls[] = {
        "http://127.0.0.1:" + std::to_string(closedPort) + "/pkg.exe",
        server.Url("/missing"),
        server.Url("/broken"),
        server.Url("/moved"),
        server.Url("/silent"),  // accepts and never answers: the time bound ends it
        "ftp://127.0.0.1:" + port + "/pkg.exe",
        "file:///C:/windows/win.ini",
        "not a url",
    };
    TempDir dir;
    for (const std::string& url : urls) {
        SCOPED_TRACE(url);
        WriteFileBytes(dir.File("out"), kOldContents);
        for (int post : {0, 1}) {
            Outcome outcome = Download(url, dir.File("out"), post);
            EXPECT_EQ(-1, outcome.result);
            EXPECT_EQ(kOldContents, ReadFileBytes(dir.File("out")));
            EXPECT_TRUE(outcome.reports.empty());
            EXPECT_EQ(Boxes{}, outcome.boxes);
        }
    }
}

TEST(DownloadToFile, LocalFileThatCannotBeCreatedIsReported)
{
    HttpTestServer server;
    server.Serve("/pkg.exe", HttpResponse::Pattern(1000));
    TempDir dir;
    HANDLE hHeld = CreateFileA(dir.File("held").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
    for (const std::string& path : {dir.File("no such folder\\pkg.exe"), dir.File("held")}) {
        SCOPED_TRACE(path);
        Outcome outcome = Download(server.Url("/pkg.exe"), path, 1);
        EXPECT_EQ(-1, outcome.result);
        EXPECT_EQ(Boxes{"不能打开本地的文件!"}, outcome.boxes);
        EXPECT_TRUE(outcome.reports.empty());
    }
    CloseHandle(hHeld);
    EXPECT_EQ("<missing>", ReadFileBytes(dir.File("no such folder\\pkg.exe")));
}

// A body that breaks off keeps what was written, and never completes.
TEST(DownloadToFile, BrokenBodyFailsAndKeepsTheBytesWritten)
{
    struct Case {
        const char* name;
        HttpResponse response;
        Boxes boxes;
        bool keepsEveryByteSent;
    } cases[] = {
        {"closed short of its length", Cut(200000, BodyCut::Close, 100000), {"读文件出错!"}, true},
        {"reset", Cut(200000, BodyCut::Reset, 100000), {"读文件出错!"}, false},
        {"stalled", Cut(200000, BodyCut::Stall, 100000), {}, false},  // the time bound ends it
    };
    HttpTestServer server;
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.Serve("/pkg.exe", c.response);
        Outcome outcome = Download(server.Url("/pkg.exe"), dir.File("out"), 1);
        EXPECT_EQ(-1, outcome.result);
        EXPECT_EQ(c.boxes, outcome.boxes);
        for (const HandledReport& r : outcome.reports)
            EXPECT_LT(r.percent, 100);
        std::string written = ReadFileBytes(dir.File("out"));
        if (c.keepsEveryByteSent)
            EXPECT_EQ(100000u, written.size());
        else
            EXPECT_LE(written.size(), 100000u);
        EXPECT_EQ(PatternBytes(written.size()), written);
    }
}

TEST(DownloadToFile, FailedWriteFailsWithoutAMessageOfItsOwn)
{
    HttpTestServer server;
    server.Serve("/pkg.exe", HttpResponse::Pattern(100000));
    // Wine maps Z: to the root; every write to /dev/full fails as a full disk.
    Outcome outcome = Download(server.Url("/pkg.exe"), "Z:\\dev\\full", 1);
    EXPECT_EQ(-1, outcome.result);
    EXPECT_EQ(Boxes{}, outcome.boxes);
    EXPECT_TRUE(outcome.reports.empty());
}
