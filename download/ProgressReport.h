// The progress message that a download posts to its window, and the record
// it carries. The sender allocates each record and gives it up when it
// posts; the receiver frees it with ReleaseProgressReport.
//
// Reports never pile up in the receiver's queue: a process-wide count of
// reports posted and not yet released lets a block's report through only
// when none is in flight, so the queue holds at most one block report and
// the completing report.
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
// its next one.
void ReleaseProgressReport(ProgressReport* pReport);

// Posts a block's report to hWnd, unless a report is still in flight: then
// nothing is allocated or posted. True when it was posted.
bool PostBlockReport(HWND hWnd, const CString& strSpeed, int nPercent);

// Posts the report that completes a download, whatever is in flight. True
// when it was posted; a report that cannot be posted is freed at once.
bool PostFinalReport(HWND hWnd, const CString& strSpeed, int nPercent);

// Reports posted and not yet released, in the whole process.
int ProgressReportsInFlight();
