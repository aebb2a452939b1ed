// Downloads over TLS from nginx on loopback, with the test authority trusted
// in this Wine prefix only (scripts/test-servers.sh): the descriptor and a
// package arrive whole, and a certificate that the system does not accept
// fails exactly as an unreachable server does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "download/DownloadToFile.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/Seams.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestServers.h"
#include "tests/support/WorkerDownload.h"

namespace {

using Boxes = std::vector<std::string>;

const std::string kDescriptor = "[VERSION]\r\ntotal=2\r\nver=2\r\n";
const std::string kOldContents = "the file as it was before";

std::string PatternBytes(size_t length)
{
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(HttpTestServer::PatternByte(i));
    return bytes;
}

struct Fetched {
    int result;
    std::string file;
    Boxes boxes;
};

// The descriptor fetch as the check makes it: on this thread, no reports,
// into a file that held kOldContents.
Fetched FetchDescriptor(const std::string& url)
{
    ScopedSeams seams("Updater.exe /check", "C:\\Q\\Updater.exe");
    TempDir dir;
    WriteFileBytes(dir.File("upt.cfg"), kOldContents);
    int result = DownloadToFile(nullptr, url.c_str(), dir.File("upt.cfg").c_str(), 0);
    return Fetched{result, ReadFileBytes(dir.File("upt.cfg")), ScopedSeams::MessageBoxes()};
}

unsigned short ClosedPort()
{
    HttpTestServer gone;
    return gone.Port();
}

}  // namespace

TEST(HttpsDownload, DescriptorAndPackageArriveWholeOverTls)
{
    const std::string package = PatternBytes(700 * 1024);
    PublishOverTls("/soft/zevi/upt.htm", kDescriptor);
    PublishOverTls("/pkg/tls-setup.exe", package);

    Fetched descriptor = FetchDescriptor(HttpsUrl(SERVED_TLS_PORT, "/soft/zevi/upt.htm"));
    EXPECT_EQ(0, descriptor.result);
    EXPECT_EQ(kDescriptor, descriptor.file);
    EXPECT_EQ(Boxes{}, descriptor.boxes);

    TempDir dir;
    WorkerOutcome outcome = RunDownloadWorker(HttpsUrl(SERVED_TLS_PORT, "/pkg/tls-setup.exe"), dir.File("setup.exe"));
    EXPECT_EQ(1u, outcome.exitCode);
    EXPECT_TRUE(outcome.drained);
    EXPECT_EQ(Boxes{}, outcome.boxes);
    ASSERT_FALSE(outcome.reports.empty());
    EXPECT_EQ(100, outcome.reports.back().percent);
    EXPECT_TRUE(package == ReadFileBytes(dir.File("setup.exe")));
}

// Each server differs from the trusted one in one thing only; the user
// meets each as a server that cannot be reached.
TEST(HttpsDownload, CertificatesTheSystemRefusesFailAsAnUnreachableServer)
{
    PublishOverTls("/soft/zevi/upt.htm", kDescriptor);
    PublishOverTls("/pkg/tls-setup.exe", PatternBytes(100 * 1024));
    const std::string unreachable = "http://127.0.0.1:" + std::to_string(ClosedPort());
    Fetched unreachableFetch = FetchDescriptor(unreachable + "/soft/zevi/upt.htm");
    TempDir dir;
    WorkerOutcome unreachableJob = RunDownloadWorker(unreachable + "/pkg/tls-setup.exe", dir.File("setup.exe"));
    ASSERT_EQ(-1, unreachableFetch.result);
    ASSERT_EQ(Boxes{}, unreachableFetch.boxes);
    ASSERT_EQ(Boxes{"下载失败!"}, unreachableJob.boxes);

    struct Case {
        const char* name;
        unsigned short port;
    } cases[] = {
        {"certificate for another host name", SERVED_WRONG_HOST_PORT},
        {"expired certificate", SERVED_EXPIRED_PORT},
        {"certificate from an untrusted authority", SERVED_UNTRUSTED_PORT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fetched fetch = FetchDescriptor(HttpsUrl(c.port, "/soft/zevi/upt.htm"));
        EXPECT_EQ(unreachableFetch.result, fetch.result);
        EXPECT_EQ(kOldContents, fetch.file);
        EXPECT_EQ(unreachableFetch.boxes, fetch.boxes);

        WriteFileBytes(dir.File("setup.exe"), kOldContents);
        WorkerOutcome job = RunDownloadWorker(HttpsUrl(c.port, "/pkg/tls-setup.exe"), dir.File("setup.exe"));
        EXPECT_EQ(0u, job.exitCode);
        EXPECT_EQ(unreachableJob.boxes, job.boxes);
        EXPECT_TRUE(job.reports.empty());
        EXPECT_EQ(kOldContents, ReadFileBytes(dir.File("setup.exe")));
    }
}

TEST(HttpsDownload, RedirectsMayMoveUpToTlsButNeverDownFromIt)
{
    PublishOverTls("/soft/zevi/upt.htm", kDescriptor);
    HttpTestServer plain;
    plain.Serve("/soft/zevi/upt.htm", HttpResponse::Bytes(kDescriptor));
    HttpResponse up = HttpResponse::Status(301, "Moved Permanently", "");
    up.extraHeaders.push_back("Location: " + HttpsUrl(SERVED_TLS_PORT, "/soft/zevi/upt.htm"));
    plain.Serve("/up", up);
    const std::string viaTls = HttpsUrl(SERVED_TLS_PORT, "/redirect?to=");

    struct Case {
        const char* name;
        std::string url;
        int result;
    } cases[] = {
        {"http to https", plain.Url("/up"), 0},
        {"https to https", viaTls + HttpsUrl(SERVED_TLS_PORT, "/soft/zevi/upt.htm"), 0},
        {"https to http", viaTls + plain.Url("/soft/zevi/upt.htm"), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fetched fetch = FetchDescriptor(c.url);
        EXPECT_EQ(c.result, fetch.result);
        EXPECT_EQ(c.result == 0 ? kDescriptor : kOldContents, fetch.file);
        EXPECT_EQ(Boxes{}, fetch.boxes);
    }
    // Only the first case reached the plain server; the refused hop never went out.
    EXPECT_EQ(1u, plain.Requests().size());
}
