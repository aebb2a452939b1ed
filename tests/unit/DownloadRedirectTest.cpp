// Downloads that meet redirects on the loopback test server: which are
// followed, with the same request on every hop, and which fail.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "download/DownloadToFile.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/Seams.h"
#include "tests/support/TempDir.h"

namespace {

const std::string kBody = "[VERSION]\r\ntotal=2\r\n";
const std::string kOldContents = "the file as it was before";

HttpResponse Redirect(int status, const std::string& location)
{
    HttpResponse r = HttpResponse::Status(status, "Moved", "<html>moved</html>");
    r.extraHeaders.push_back("Location: " + location);
    return r;
}

struct Outcome {
    int result;
    std::string file;
    std::vector<std::string> boxes;
};

// Fetches url into a file that held kOldContents, as the check does.
Outcome Download(const std::string& url)
{
    ScopedSeams seams("Updater.exe /check", "C:\\Q\\Updater.exe");
    TempDir dir;
    WriteFileBytes(dir.File("out"), kOldContents);
    int result = DownloadToFile(nullptr, url.c_str(), dir.File("out").c_str(), 0);
    return Outcome{result, ReadFileBytes(dir.File("out")), ScopedSeams::MessageBoxes()};
}

// A request without its request line.
std::string HeadersAfterRequestLine(const std::string& request)
{
    return request.substr(request.find("\r\n"));
}

}  // namespace

TEST(DownloadRedirect, EachRedirectStatusIsFollowedWithTheSameRequest)
{
    HttpTestServer server;
    server.Serve("/pkg/setup.exe", HttpResponse::Bytes(kBody));
    for (int status : {301, 302, 303, 307, 308}) {
        SCOPED_TRACE(status);
        const std::string from = "/moved/" + std::to_string(status);
        server.Serve(from, Redirect(status, server.Url("/pkg/setup.exe")));
        const size_t before = server.Requests().size();
        Outcome outcome = Download(server.Url(from));
        EXPECT_EQ(0, outcome.result);
        EXPECT_EQ(kBody, outcome.file);
        EXPECT_TRUE(outcome.boxes.empty());
        std::vector<std::string> requests = server.Requests();
        ASSERT_EQ(before + 2, requests.size());
        EXPECT_EQ(0u, requests[before].find("GET " + from + " HTTP/1.1\r\n"));
        EXPECT_EQ(0u, requests[before + 1].find("GET /pkg/setup.exe HTTP/1.1\r\n"));
        EXPECT_EQ(HeadersAfterRequestLine(requests[before]), HeadersAfterRequestLine(requests[before + 1]));
    }
}

TEST(DownloadRedirect, RelativeLocationsAndOtherServersAreReached)
{
    HttpTestServer server;
    HttpTestServer other;
    server.Serve("/soft/zevi/new.htm", HttpResponse::Bytes(kBody));
    other.Serve("/mirror/upt.htm", HttpResponse::Bytes(kBody));
    // Another path on the same server, however it is written.
    for (const char* location : {"new.htm", "/soft/zevi/new.htm", "../zevi/./new.htm"}) {
        SCOPED_TRACE(location);
        server.Serve("/soft/zevi/upt.htm", Redirect(302, location));
        Outcome outcome = Download(server.Url("/soft/zevi/upt.htm"));
        EXPECT_EQ(0, outcome.result);
        EXPECT_EQ(kBody, outcome.file);
        EXPECT_EQ(0u, server.Requests().back().find("GET /soft/zevi/new.htm HTTP/1.1\r\n"));
    }
    const std::string otherHost = "127.0.0.1:" + std::to_string(other.Port());
    for (const std::string& location : {other.Url("/mirror/upt.htm"), "//" + otherHost + "/mirror/upt.htm"}) {
        SCOPED_TRACE(location);
        server.Serve("/soft/zevi/upt.htm", Redirect(301, location));
        Outcome outcome = Download(server.Url("/soft/zevi/upt.htm"));
        EXPECT_EQ(0, outcome.result);
        EXPECT_EQ(kBody, outcome.file);
        ASSERT_FALSE(other.Requests().empty());
        EXPECT_EQ(0u, other.Requests().back().find("GET /mirror/upt.htm HTTP/1.1\r\n"));
        EXPECT_NE(std::string::npos, other.Requests().back().find("\r\nHost: " + otherHost + "\r\n"));
    }
}

TEST(DownloadRedirect, TenHopsAreFollowedAndAnEleventhFails)
{
    HttpTestServer server;
    for (int i = 0; i < 11; ++i)
        server.Serve("/hop" + std::to_string(i), Redirect(307, "/hop" + std::to_string(i + 1)));
    server.Serve("/hop10", HttpResponse::Bytes(kBody));
    Outcome ten = Download(server.Url("/hop0"));
    EXPECT_EQ(0, ten.result);
    EXPECT_EQ(kBody, ten.file);
    EXPECT_EQ(11u, server.Requests().size());

    server.Serve("/hop10", Redirect(307, "/hop11"));
    server.Serve("/hop11", HttpResponse::Bytes(kBody));
    Outcome eleven = Download(server.Url("/hop0"));
    EXPECT_EQ(-1, eleven.result);
    EXPECT_EQ(kOldContents, eleven.file);
    EXPECT_TRUE(eleven.boxes.empty());
    EXPECT_EQ(22u, server.Requests().size()) << "the eleventh redirect was requested";
}

// Each fails before the local file is touched, with no message of its own.
TEST(DownloadRedirect, DeadEndsAndLoopsFailAtOnce)
{
    HttpTestServer server;
    server.Serve("/a", Redirect(302, "/b"));
    server.Serve("/b", Redirect(301, "/a"));
    server.Serve("/self", Redirect(308, "/self"));
    server.Serve("/nowhere", HttpResponse::Status(302, "Found", "no location"));
    server.Serve("/ftp", Redirect(302, "ftp://127.0.0.1/pkg.exe"));
    server.Serve("/to-missing", Redirect(302, "/missing"));
    server.Serve("/not-followed", Redirect(300, "/pkg.exe"));
    server.Serve("/pkg.exe", HttpResponse::Bytes(kBody));
    struct Case {
        const char* target;
        size_t requests;
    } cases[] = {
        {"/a", 2}, {"/self", 1}, {"/nowhere", 1}, {"/ftp", 1}, {"/to-missing", 2}, {"/not-followed", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const size_t before = server.Requests().size();
        Outcome outcome = Download(server.Url(c.target));
        EXPECT_EQ(-1, outcome.result);
        EXPECT_EQ(kOldContents, outcome.file);
        EXPECT_TRUE(outcome.boxes.empty());
        EXPECT_EQ(before + c.requests, server.Requests().size());
    }
}
