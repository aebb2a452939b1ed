// One download run as the buttons run it: DownloadThreadProc on a thread
// of its own, its reports shown in a real window on the calling thread, and
// the message boxes it shows recorded instead of put up.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/ProgressWindow.h"

struct WorkerOutcome {
    UINT exitCode;  // the worker's: 1 on success, 0 on failure
    bool drained;   // every report posted was handled
    std::vector<HandledReport> reports;
    std::vector<std::string> boxes;
};

WorkerOutcome RunDownloadWorker(const std::string& url, const std::string& localPath);
