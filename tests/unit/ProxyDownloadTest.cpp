// Downloads through the system's proxy: tinyproxy on loopback
// (scripts/test-servers.sh) set as the test prefix's proxy, with the
// connection state reporting a proxy as Windows does where one is set up.
// The check's fetch and the two button downloads are made as the program
// makes them: the descriptor on this thread with no reports, the others by
// the worker.
#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "download/DownloadToFile.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/Seams.h"
#include "tests/support/SystemProxy.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestServers.h"
#include "tests/support/WorkerDownload.h"

namespace {

using Boxes = std::vector<std::string>;

const std::string kOldContents = "the file as it was before";
const std::string kDescriptor = "[VERSION]\r\ntotal=2\r\nver=2\r\n";
// What Wine reports, and the same with a proxy.
constexpr DWORD kLan = INTERNET_CONNECTION_LAN | INTERNET_RAS_INSTALLED;
constexpr DWORD kLanWithProxy = kLan | INTERNET_CONNECTION_PROXY;

std::string Loopback(unsigned short port)
{
    return "127.0.0.1:" + std::to_string(port);
}

struct Fetched {
    int result;
    std::string file;
    Boxes boxes;
};

Fetched FetchDescriptor(const std::string& url)
{
    ScopedSeams seams("Updater.exe /check", "C:\\Q\\Updater.exe");
    TempDir dir;
    WriteFileBytes(dir.File("upt.cfg"), kOldContents);
    int result = DownloadToFile(nullptr, url.c_str(), dir.File("upt.cfg").c_str(), 0);
    return Fetched{result, ReadFileBytes(dir.File("upt.cfg")), ScopedSeams::MessageBoxes()};
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// An update server with the three files, on a port of its own: the fixed
// test port is also reached by dialogs of other suites that check.
class ProxyDownload : public testing::Test {
protected:
    ProxyDownload()
    {
        m_server.Serve("/soft/zevi/upt.htm", HttpResponse::Bytes(kDescriptor));
        m_server.Serve("/pkg/setup.exe", HttpResponse::Pattern(300 * 1024));
        m_server.Serve("/extra/manual.pdf", HttpResponse::Pattern(50 * 1024));
    }

    std::string Url(const char* target) const { return m_server.Url(target); }

    HttpTestServer m_server;
};

}  // namespace

TEST_F(ProxyDownload, WithAProxyReportedTheCheckAndBothDownloadsGoThroughIt)
{
    struct Case {
        const char* name;
        DWORD connectedFlags;
        bool throughProxy;
    } cases[] = {
        {"proxy reported", kLanWithProxy, true},
        {"no proxy reported: the direct road, as Wine itself reports", kLan, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedSystemProxy proxy(Loopback(SERVED_PROXY_PORT), c.connectedFlags);
        const size_t before = m_server.Requests().size();
        const std::string logBefore = ProxyLog(false);

        Fetched descriptor = FetchDescriptor(Url("/soft/zevi/upt.htm"));
        EXPECT_EQ(0, descriptor.result);
        EXPECT_EQ(kDescriptor, descriptor.file);
        TempDir dir;
        WorkerOutcome package = RunDownloadWorker(Url("/pkg/setup.exe"), dir.File("setup.exe"));
        EXPECT_EQ(1u, package.exitCode);
        EXPECT_TRUE(HttpTestServer::FileHoldsPattern(dir.File("setup.exe"), 300 * 1024));
        WorkerOutcome extra = RunDownloadWorker(Url("/extra/manual.pdf"), dir.File("manual.pdf"));
        EXPECT_EQ(1u, extra.exitCode);
        EXPECT_TRUE(HttpTestServer::FileHoldsPattern(dir.File("manual.pdf"), 50 * 1024));

        const std::vector<std::string> requests = m_server.Requests();
        ASSERT_EQ(before + 3, requests.size());
        const std::string log = ProxyLog(false).substr(logBefore.size());
        for (const char* target : {"/soft/zevi/upt.htm", "/pkg/setup.exe", "/extra/manual.pdf"}) {
            SCOPED_TRACE(target);
            EXPECT_EQ(c.throughProxy, Contains(log, "GET " + Url(target) + " HTTP/1.1"));
        }
        // tinyproxy marks each request that it passes on.
        for (size_t i = before; i < requests.size(); ++i)
            EXPECT_EQ(c.throughProxy, Contains(requests[i], "(tinyproxy/")) << requests[i];
    }
}

// Each fails as an unreachable server does, and within the time bound:
// nothing of these can hang the program.
TEST_F(ProxyDownload, AProxyThatRefusesOrFailsEndsInAFailedDownload)
{
    HttpTestServer silentProxy;
    silentProxy.Serve(Url("/soft/zevi/upt.htm"), HttpResponse::Silent());
    silentProxy.Serve(Url("/pkg/setup.exe"), HttpResponse::Silent());
    unsigned short closedPort;
    {
        HttpTestServer gone;
        closedPort = gone.Port();
    }
    struct Case {
        const char* name;
        unsigned short port;
    } cases[] = {
        {"demands a password (407)", SERVED_AUTH_PROXY_PORT},
        {"is down", closedPort},
        {"never answers", silentProxy.Port()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedSystemProxy proxy(Loopback(c.port), kLanWithProxy);
        const size_t before = m_server.Requests().size();
        const auto start = std::chrono::steady_clock::now();

        Fetched descriptor = FetchDescriptor(Url("/soft/zevi/upt.htm"));
        EXPECT_EQ(-1, descriptor.result);
        EXPECT_EQ(kOldContents, descriptor.file);
        EXPECT_EQ(Boxes{}, descriptor.boxes);
        TempDir dir;
        WriteFileBytes(dir.File("setup.exe"), kOldContents);
        WorkerOutcome package = RunDownloadWorker(Url("/pkg/setup.exe"), dir.File("setup.exe"));
        EXPECT_EQ(0u, package.exitCode);
        EXPECT_EQ(Boxes{"下载失败!"}, package.boxes);
        EXPECT_EQ(kOldContents, ReadFileBytes(dir.File("setup.exe")));

        const std::vector<std::string> requests = m_server.Requests();
        EXPECT_EQ(before, requests.size()) << "a request went round the proxy: " << requests.back();
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        std::printf("[ proxy that %s: both failed after %lld ms ]\n", c.name, static_cast<long long>(ms.count()));
    }
    EXPECT_TRUE(Contains(ProxyLog(true), "GET " + Url("/pkg/setup.exe")));
    EXPECT_EQ(2u, silentProxy.Requests().size());
}
