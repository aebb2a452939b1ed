// One HTTP download of a URL into a local file, blocking on the caller's
// thread; failures that have a message of their own are told there.
#pragma once

#include <windows.h>

#include "download/Sha256.h"
#include "framework/CString.h"

// Returns 0 when the whole body was written and the file closed, -1 on any
// failure. An error status, a scheme other than http or https, or a server
// that does not answer within the network time bound fails before the
// local file is touched. A body shorter than its Content-Length, a failed
// write and, with posting on, an empty body fail too.
//
// With bPostProgress nonzero, WM_DOWNLOAD_PROGRESS reports go to hNotifyWnd
// as the body arrives (see ProgressReport.h); the report that completes the
// download (100 percent) is posted only after the file has been closed.
//
// With pExpected set, the bytes are hashed as they are written; a file
// whose SHA-256 differs is deleted, kPinMismatchText is told and the result
// is -1, with no completing report.
int DownloadToFile(HWND hNotifyWnd, CString strUrl, CString strLocalPath, int bPostProgress,
                   const Sha256Digest* pExpected = nullptr);

// Told when a pinned download does not hash to its pin.
extern const char kPinMismatchText[];
