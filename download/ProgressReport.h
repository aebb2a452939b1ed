// The progress message that a download posts to its window, and the record
// it carries. The sender allocates each record and gives it up when it
// posts; the receiver frees it with ReleaseProgressReport.
#pragma once

#include <windows.h>

#include "framework/CString.h"

// wParam 0; lParam a ProgressReport*, owned by the receiver from then on.
constexpr UINT WM_DOWNLOAD_PROGRESS = WM_USER + 101;

struct ProgressReport {
    CString strSpeed;  // rate since the start of the body, "%4.1f KB/秒"
    int nPercent;      // whole percent of the announced length received
};

// Frees a report that the receiver has taken, and lets the download post
// its next one (at most one report is in flight at a time).
void ReleaseProgressReport(ProgressReport* pReport);
