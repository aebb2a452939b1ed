#include "download/ProgressReport.h"

#include <atomic>

namespace {

std::atomic<int> g_reportsInFlight{0};

// Hands one counted report to hWnd; takes it back when the post fails
// (the window is gone, or its queue is full).
bool PostCountedReport(HWND hWnd, const CString& strSpeed, int nPercent)
{
    ProgressReport* pReport = new ProgressReport{strSpeed, nPercent};
    if (::PostMessageA(hWnd, WM_DOWNLOAD_PROGRESS, 0, reinterpret_cast<LPARAM>(pReport)))
        return true;
    ReleaseProgressReport(pReport);
    return false;
}

}  // namespace

void ReleaseProgressReport(ProgressReport* pReport)
{
    delete pReport;
    g_reportsInFlight.fetch_sub(1);
}

bool PostBlockReport(HWND hWnd, const CString& strSpeed, int nPercent)
{
    int none = 0;
    if (!g_reportsInFlight.compare_exchange_strong(none, 1))
        return false;
    return PostCountedReport(hWnd, strSpeed, nPercent);
}

bool PostFinalReport(HWND hWnd, const CString& strSpeed, int nPercent)
{
    g_reportsInFlight.fetch_add(1);
    return PostCountedReport(hWnd, strSpeed, nPercent);
}

int ProgressReportsInFlight()
{
    return g_reportsInFlight.load();
}
