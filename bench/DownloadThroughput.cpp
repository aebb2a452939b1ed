// Downloads one body over loopback twice and prints both rates: a bare
// loop of 16 KiB InternetReadFile calls, and DownloadToFile with posting
// on into a real window that shows every report, until the completing
// report has been shown; and, to tell the file's share from the reports',
// DownloadToFile with posting off.
// Usage: download_bench.exe [megabytes]   (default 1024)
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "download/DownloadToFile.h"
#include "download/HttpGetRequest.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/ProgressWindow.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

// Seconds to read the whole body with 16 KiB reads, or a negative value.
double BareReadLoop(const std::string& url, uint64_t length)
{
    static char buffer[16384];
    LARGE_INTEGER start = Now();
    HttpGetRequest request;
    if (request.Open(url.c_str(), 30000) != HttpGetRequest::OpenResult::Ok)
        return -1;
    uint64_t total = 0;
    DWORD n = 0;
    while (request.Read(buffer, sizeof buffer, &n) && n != 0)
        total += n;
    return total == length ? Seconds(start, Now()) : -1;
}

// Seconds for DownloadToFile with posting off: the file writes without
// any report; negative on failure.
double DownloadWithoutReports(const std::string& url, const std::string& path)
{
    LARGE_INTEGER start = Now();
    return DownloadToFile(nullptr, url.c_str(), path.c_str(), 0) == 0 ? Seconds(start, Now()) : -1;
}

struct ReportedRun {
    double toReturn;      // until DownloadToFile returned
    double toCompletion;  // until the report of 100 had been shown
    size_t reports;
};

ReportedRun DownloadWithReports(const std::string& url, const std::string& path)
{
    ProgressWindow window;
    LARGE_INTEGER start = Now();
    LARGE_INTEGER returned{};
    LARGE_INTEGER completed{};
    window.OnReport([&](const HandledReport& r) {
        if (r.percent == 100)
            completed = Now();
    });
    std::atomic<bool> done{false};
    int result = -1;
    std::thread worker([&] {
        result = DownloadToFile(window.Handle(), url.c_str(), path.c_str(), 1);
        returned = Now();
        done = true;
    });
    window.PumpUntil([&] { return done.load(); }, 600000);
    worker.join();
    if (result != 0 || completed.QuadPart == 0)
        return ReportedRun{-1, -1, window.Reports().size()};
    return ReportedRun{Seconds(start, returned), Seconds(start, completed), window.Reports().size()};
}

}  // namespace

int main(int argc, char** argv)
{
    const uint64_t megabytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
    const uint64_t length = megabytes << 20;
    HttpTestServer server;
    server.Serve("/body", HttpResponse::Pattern(length));
    const std::string url = server.Url("/body");
    char tempDir[MAX_PATH];
    GetTempPathA(MAX_PATH, tempDir);
    const std::string path = std::string(tempDir) + "download_bench.bin";

    double bare = BareReadLoop(url, length);
    double unreported = DownloadWithoutReports(url, path);
    ReportedRun reported = DownloadWithReports(url, path);
    bool intact = HttpTestServer::FileHoldsPattern(path, length);
    DeleteFileA(path.c_str());
    if (bare <= 0 || reported.toCompletion <= 0 || !intact) {
        std::printf("a download failed (bare %.3f s, reported %.3f s, file %s)\n", bare,
                    reported.toCompletion, intact ? "intact" : "wrong");
        return 1;
    }
    const double mb = static_cast<double>(length) / 1e6;
    std::printf("body: %llu bytes over loopback\n", static_cast<unsigned long long>(length));
    std::printf("bare 16 KiB InternetReadFile loop:      %7.3f s  %7.1f MB/s\n", bare, mb / bare);
    std::printf("DownloadToFile, posting off:            %7.3f s  %7.1f MB/s\n", unreported, mb / unreported);
    std::printf("DownloadToFile, reports into a window:  %7.3f s  %7.1f MB/s  (returned after %.3f s, %zu reports shown)\n",
                reported.toCompletion, mb / reported.toCompletion, reported.toReturn, reported.reports);
    std::printf("ratio (reported / bare throughput):     %.3f\n", bare / reported.toCompletion);
    return 0;
}
