#include "download/DownloadToFile.h"

#include <mmsystem.h>

#include <optional>

#include "config/BuildSettings.h"
#include "download/HttpGetRequest.h"
#include "download/ProgressMath.h"
#include "download/ProgressReport.h"
#include "download/Sha256.h"
#include "framework/File.h"
#include "framework/MessageBox.h"

namespace {

constexpr DWORD kBlockSize = 16384;

// A window shows at most this many block reports a second: handling one costs
// the window far more than reading a block, and faster updates are not seen.
constexpr DWORD kBlockReportIntervalMs = 25;

// The reports of one download. A block's report goes out only when none is
// in flight and the last one went out at least kBlockReportIntervalMs ago;
// the report that completes the download (100 percent, or the end of a body
// of unknown length) is held until the file is closed, and then always goes
// out.
class ProgressReporter {
public:
    ProgressReporter(HWND hNotifyWnd, bool bEnabled, DWORD dwAnnounced)
        : m_hNotifyWnd(hNotifyWnd), m_bEnabled(bEnabled), m_dwAnnounced(dwAnnounced) {}

    void OnBlock(DWORD dwReceived, DWORD dwElapsedMs)
    {
        if (!m_bEnabled)
            return;
        m_bHolding = false;
        CString strSpeed = FormatSpeed(KilobytesPerSecond(dwReceived, dwElapsedMs));
        if (m_dwAnnounced == 0) {
            // Any block may be the last: its rate is kept for the completion.
            Hold(strSpeed);
            PostBlockReportIfDue(strSpeed, 0, dwElapsedMs);
            return;
        }
        int nPercent = PercentReceived(dwReceived, m_dwAnnounced);
        if (nPercent == 100)
            Hold(strSpeed);
        else
            PostBlockReportIfDue(strSpeed, nPercent, dwElapsedMs);
    }

    void PostCompletion()
    {
        if (m_bHolding)
            PostFinalReport(m_hNotifyWnd, m_strHeldSpeed, 100);
    }

private:
    // dwElapsedMs is the download's clock; the first block always reports.
    void PostBlockReportIfDue(const CString& strSpeed, int nPercent, DWORD dwElapsedMs)
    {
        if (m_bPostedBlock && dwElapsedMs - m_dwLastPostMs < kBlockReportIntervalMs)
            return;
        if (PostBlockReport(m_hNotifyWnd, strSpeed, nPercent)) {
            m_bPostedBlock = true;
            m_dwLastPostMs = dwElapsedMs;
        }
    }

    void Hold(const CString& strSpeed)
    {
        m_bHolding = true;
        m_strHeldSpeed = strSpeed;
    }

    HWND m_hNotifyWnd;
    bool m_bEnabled;
    DWORD m_dwAnnounced;
    bool m_bHolding = false;
    CString m_strHeldSpeed;
    bool m_bPostedBlock = false;
    DWORD m_dwLastPostMs = 0;
};

enum class BodyResult { Complete, ReadFailed, TimedOut, WriteFailed };

// Reads the body block by block into the file: write, report, clock, read.
BodyResult ReceiveBody(const HttpGetRequest& request, CFile& file, ProgressReporter& reporter,
                       DWORD dwAnnounced, DWORD& dwReceived, CSha256* pHasher)
{
    char buffer[kBlockSize];
    DWORD dwElapsedMs = kMinimumElapsedMs;
    const DWORD dwStartTick = timeGetTime();
    DWORD dwRead = 0;
    while (request.Read(buffer, kBlockSize, &dwRead)) {
        if (dwRead == 0)  // a body shorter than announced is a broken one
            return dwReceived < dwAnnounced ? BodyResult::ReadFailed : BodyResult::Complete;
        try {
            file.Write(buffer, dwRead);
        } catch (const CFileException&) {
            return BodyResult::WriteFailed;
        }
        if (pHasher != nullptr)  // as written: the file is never read back
            pHasher->Add(buffer, dwRead);
        dwReceived += dwRead;
        reporter.OnBlock(dwReceived, dwElapsedMs);
        dwElapsedMs = ElapsedMs(dwStartTick, timeGetTime());
    }
    return HttpGetRequest::IsTimeout(GetLastError()) ? BodyResult::TimedOut : BodyResult::ReadFailed;
}

// Closes the file and reports whether everything written reached it.
bool CloseFile(CFile& file)
{
    try {
        file.Close();
        return true;
    } catch (const CFileException&) {
        return false;
    }
}

// A pinned download whose bytes differ from the pin is removed, so that
// nothing can run or open it.
bool KeepIfPinned(const CString& strLocalPath, CSha256* pHasher, const Sha256Digest* pExpected)
{
    Sha256Digest digest;
    if (pExpected == nullptr || (pHasher->Finish(&digest) && digest == *pExpected))
        return true;
    DeleteFileA(strLocalPath);
    AfxMessageBox(kPinMismatchText);
    return false;
}

}  // namespace

const char kPinMismatchText[] = "升级文件校验失败!";

int DownloadToFile(HWND hNotifyWnd, CString strUrl, CString strLocalPath, int bPostProgress,
                   const Sha256Digest* pExpected)
{
    HttpGetRequest request;
    switch (request.Open(strUrl, kNetworkTimeoutMs)) {
    case HttpGetRequest::OpenResult::NoClient:
        AfxMessageBox("Internet连接错误!");
        return -1;
    case HttpGetRequest::OpenResult::Failed:
        return -1;  // the local file is left as it was
    case HttpGetRequest::OpenResult::Ok:
        break;
    }
    CFile file;
    if (!file.Open(strLocalPath, CFile::modeCreate | CFile::modeWrite)) {
        AfxMessageBox("不能打开本地的文件!");
        return -1;
    }
    const DWORD dwAnnounced = request.AnnouncedLength();
    ProgressReporter reporter(hNotifyWnd, bPostProgress != 0, dwAnnounced);
    DWORD dwReceived = 0;
    std::optional<CSha256> hasher;
    if (pExpected != nullptr)
        hasher.emplace();
    CSha256* pHasher = hasher ? &*hasher : nullptr;
    switch (ReceiveBody(request, file, reporter, dwAnnounced, dwReceived, pHasher)) {
    case BodyResult::ReadFailed:
        AfxMessageBox("读文件出错!");
        return -1;  // the file keeps what was written; the destructors close all
    case BodyResult::TimedOut:
    case BodyResult::WriteFailed:
        return -1;  // the caller's own message tells the user
    case BodyResult::Complete:
        break;
    }
    request.Close();
    if (!CloseFile(file))
        return -1;
    if (!KeepIfPinned(strLocalPath, pHasher, pExpected))
        return -1;
    // A package must have bytes; the descriptor (fetched without reports)
    // may be empty.
    if (bPostProgress && dwReceived == 0)
        return -1;
    reporter.PostCompletion();
    return 0;
}
