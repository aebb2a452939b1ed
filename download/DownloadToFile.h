// One HTTP download of a URL into a local file, blocking on the caller's
// thread; failures that have a message of their own are told there.
#pragma once

#include <windows.h>

#include "framework/CString.h"

// Returns 0 when the whole body was written and the file closed, -1 on any
// failure. With bPostProgress nonzero, WM_DOWNLOAD_PROGRESS reports go to
// hNotifyWnd as the body arrives.
int DownloadToFile(HWND hNotifyWnd, CString strUrl, CString strLocalPath, int bPostProgress);
