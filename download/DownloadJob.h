// A download run on a worker thread of its own, with progress reports.
#pragma once

#include <windows.h>

#include "framework/CString.h"

struct DownloadJob {
    HWND hNotifyWnd;  // receives the progress reports: the main dialog
    CString strUrl;
    CString strLocalPath;
};

// Hands a new job to a new worker thread and returns at once.
void StartDownloadJob(HWND hNotifyWnd, const CString& strUrl, const CString& strLocalPath);

// The worker: takes the job over, frees it, downloads, and tells the user
// "下载失败!" when the download failed. Exit code 1 on success, 0 on failure.
UINT DownloadThreadProc(LPVOID pParam);
