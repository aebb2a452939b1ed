// DownloadToFile on a worker thread with progress posting on into a real
// window on this thread that shows every report, as the dialog does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct ReportedRun {
    bool ok;                  // returned 0, the report of 100 came, file full length
    double toCompletion;      // start until the report of 100 had been shown
    double lastByteToFinal;   // file full length until the report of 100 had been shown
    size_t reportsHandled;    // every report the window showed
    int longestQueue;         // most reports in flight when one was shown
    int inFlightAfter;        // reports posted and never shown (0: none lost)
};

ReportedRun DownloadWithReports(const std::string& url, const std::string& path, uint64_t length);
