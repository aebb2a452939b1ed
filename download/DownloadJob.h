// A download run on a worker thread of its own, with progress reports.
#pragma once

#include <windows.h>

#include <optional>

#include "download/Sha256.h"
#include "framework/CString.h"
#include "framework/Thread.h"

struct DownloadJob {
    HWND hNotifyWnd;  // receives the progress reports: the main dialog
    CString strUrl;
    CString strLocalPath;
    std::optional<Sha256Digest> pin;  // the SHA-256 the file must have, if pinned
};

// The way a worker thread is started; AfxBeginThread's signature.
using ThreadStarter = CWinThread* (*)(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority,
                                      UINT nStackSize, DWORD dwCreateFlags,
                                      LPSECURITY_ATTRIBUTES lpSecurityAttrs);

// Hands a new job to a new worker thread and returns at once. When no
// thread can be started, the job is freed and the user is told "下载失败!".
void StartDownloadJob(HWND hNotifyWnd, const CString& strUrl, const CString& strLocalPath,
                      ThreadStarter pfnBeginThread = AfxBeginThread,
                      const std::optional<Sha256Digest>& pin = std::nullopt);

// The worker: takes the job over, frees it, downloads, and tells the user
// "下载失败!" when the download failed. Exit code 1 on success, 0 on failure.
UINT DownloadThreadProc(LPVOID pParam);
