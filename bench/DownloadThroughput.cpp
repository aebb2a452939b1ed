// One measured download over loopback per run, printed as one line of
// key=value figures for scripts/bench.sh, which repeats runs and takes
// medians.
//
// Usage: download_bench.exe MODE URL LENGTH PATH
//   floor         InternetOpenUrlA, 16 KiB InternetReadFile, one WriteFile each
//   floor-nowrite the same, blocks dropped
//   floor-cfile   the same, one CFile::Write each
//   floor-connect the program's request path (InternetConnectA ...), WriteFile
//   off           DownloadToFile, posting off
//   on            DownloadToFile, posting on into a real window
// Every line ends with the process's peak working set.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/BareReadLoop.h"
#include "bench/ReportedDownload.h"
#include "bench/Stopwatch.h"
#include "download/DownloadToFile.h"

namespace {

struct FloorVariant {
    const char* mode;
    RequestPath requestPath;
    BlockSink sink;
};

const FloorVariant kFloorVariants[] = {
    {"floor", RequestPath::OpenUrl, BlockSink::WriteFile},
    {"floor-nowrite", RequestPath::OpenUrl, BlockSink::None},
    {"floor-cfile", RequestPath::OpenUrl, BlockSink::CFile},
    {"floor-connect", RequestPath::Connect, BlockSink::WriteFile},
};

// Wine fills this from the process's VmHWM.
unsigned long long PeakWorkingSetKiB()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<unsigned long long>(counters.PeakWorkingSetSize) / 1024;
}

double DownloadWithoutReports(const std::string& url, const std::string& path)
{
    LARGE_INTEGER start = Now();
    return DownloadToFile(nullptr, url.c_str(), path.c_str(), 0) == 0 ? Seconds(start, Now()) : -1;
}

bool RunReported(const std::string& url, const std::string& path, uint64_t length)
{
    ReportedRun run = DownloadWithReports(url, path, length);
    std::printf("mode=on ok=%d seconds=%.4f last_byte_to_final_ms=%.2f reports_handled=%zu "
                "longest_queue=%d in_flight_after=%d",
                run.ok ? 1 : 0, run.toCompletion, run.lastByteToFinal * 1000, run.reportsHandled,
                run.longestQueue, run.inFlightAfter);
    return run.ok;
}

bool RunTimed(const char* mode, const std::string& url, const std::string& path, uint64_t length)
{
    BareLoopTimes times{-1, 0};
    if (std::strcmp(mode, "off") == 0)
        times.seconds = DownloadWithoutReports(url, path);
    for (const FloorVariant& variant : kFloorVariants) {
        if (std::strcmp(mode, variant.mode) == 0)
            times = BareReadLoop(variant.requestPath, variant.sink, url, path, length);
    }
    const double seconds = times.seconds;
    std::printf("mode=%s ok=%d seconds=%.4f close_ms=%.2f", mode, seconds > 0 ? 1 : 0, seconds,
                times.closeSeconds * 1000);
    return seconds > 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: download_bench MODE URL LENGTH PATH\n");
        return 2;
    }
    const std::string mode = argv[1];
    const std::string url = argv[2];
    const uint64_t length = std::strtoull(argv[3], nullptr, 10);
    const std::string path = argv[4];
    bool ok = mode == "on" ? RunReported(url, path, length) : RunTimed(mode.c_str(), url, path, length);
    std::printf(" peak_ws_kib=%llu\n", PeakWorkingSetKiB());
    return ok ? 0 : 1;
}
