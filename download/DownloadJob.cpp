#include "download/DownloadJob.h"

#include "download/DownloadToFile.h"
#include "framework/MessageBox.h"

namespace {

void TellDownloadFailed()
{
    AfxMessageBox("下载失败!");
}

}  // namespace

void StartDownloadJob(HWND hNotifyWnd, const CString& strUrl, const CString& strLocalPath,
                      ThreadStarter pfnBeginThread, const std::optional<Sha256Digest>& pin)
{
    DownloadJob* pJob = new DownloadJob{};
    pJob->hNotifyWnd = hNotifyWnd;
    pJob->strUrl = strUrl;
    pJob->strLocalPath = strLocalPath;
    pJob->pin = pin;
    if (pfnBeginThread(DownloadThreadProc, pJob, THREAD_PRIORITY_NORMAL, 0, 0, nullptr) == nullptr) {
        // Never handed over: the job is still ours to free.
        delete pJob;
        TellDownloadFailed();
    }
}

UINT DownloadThreadProc(LPVOID pParam)
{
    DownloadJob* pJob = static_cast<DownloadJob*>(pParam);
    HWND hNotifyWnd = pJob->hNotifyWnd;
    CString strUrl = pJob->strUrl;
    CString strLocalPath = pJob->strLocalPath;
    std::optional<Sha256Digest> pin = pJob->pin;
    delete pJob;
    if (DownloadToFile(hNotifyWnd, strUrl, strLocalPath, 1, pin ? &*pin : nullptr) != 0) {
        TellDownloadFailed();
        return 0;
    }
    return 1;
}
