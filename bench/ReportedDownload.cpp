#include "bench/ReportedDownload.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <thread>

#include "bench/LastByteWatch.h"
#include "bench/Stopwatch.h"
#include "download/DownloadToFile.h"
#include "download/ProgressReport.h"
#include "tests/support/ProgressWindow.h"

namespace {

// The size is watched only near the end, so that the watch costs next to
// nothing during the body. A small body may give no report before its last
// one: it is watched from the start.
constexpr int kWatchFromPercent = 90;
constexpr uint64_t kWatchWholeUpTo = 16ull << 20;
constexpr unsigned kPumpTimeoutMs = 600000;

int LongestQueue(const ProgressWindow& window)
{
    int longest = 0;
    for (const HandledReport& report : window.Reports())
        longest = std::max(longest, report.inFlight);
    return longest;
}

}  // namespace

ReportedRun DownloadWithReports(const std::string& url, const std::string& path, uint64_t length)
{
    ProgressWindow window;
    DeleteFileA(path.c_str());  // so that the watch sees only this download's bytes
    LastByteWatch watch(path, length);
    if (length <= kWatchWholeUpTo)
        watch.Arm();
    LARGE_INTEGER completed{};
    window.OnReport([&](const HandledReport& report) {
        if (report.percent >= kWatchFromPercent)
            watch.Arm();
        if (report.percent == 100)
            completed = Now();
    });
    std::atomic<bool> done{false};
    int result = -1;
    LARGE_INTEGER start = Now();
    std::thread worker([&] {
        result = DownloadToFile(window.Handle(), url.c_str(), path.c_str(), 1);
        done = true;
    });
    bool pumped = window.PumpUntil([&] { return done.load(); }, kPumpTimeoutMs);
    worker.join();
    LARGE_INTEGER lastByte = watch.Finish();
    ReportedRun run{};
    run.ok = pumped && result == 0 && completed.QuadPart != 0 && lastByte.QuadPart != 0;
    run.toCompletion = run.ok ? Seconds(start, completed) : -1;
    run.lastByteToFinal = run.ok ? Seconds(lastByte, completed) : -1;
    run.reportsHandled = window.Reports().size();
    run.longestQueue = LongestQueue(window);
    run.inFlightAfter = ProgressReportsInFlight();
    return run;
}
