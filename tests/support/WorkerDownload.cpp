#include "tests/support/WorkerDownload.h"

#include <atomic>
#include <thread>

#include "download/DownloadJob.h"
#include "tests/support/Seams.h"

WorkerOutcome RunDownloadWorker(const std::string& url, const std::string& localPath)
{
    ScopedSeams seams("Updater.exe /check", "C:\\Q\\Updater.exe");
    ProgressWindow window;
    std::atomic<bool> done{false};
    UINT exitCode = 0;
    // The worker takes the job over and frees it.
    auto* pJob = new DownloadJob{};
    pJob->hNotifyWnd = window.Handle();
    pJob->strUrl = url.c_str();
    pJob->strLocalPath = localPath.c_str();
    std::thread worker([&] {
        exitCode = DownloadThreadProc(pJob);
        done = true;
    });
    const bool drained = window.PumpUntil([&] { return done.load(); });
    worker.join();
    return WorkerOutcome{exitCode, drained, window.Reports(), ScopedSeams::MessageBoxes()};
}
