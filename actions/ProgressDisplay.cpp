// Progress reports from a running download, and what happens when one
// reports that the download is complete.
#include <windows.h>
#include <shellapi.h>

#include "actions/DescriptorChecks.h"
#include "actions/MainProgramClose.h"
#include "app/UpdaterDlg.h"
#include "config/AppPaths.h"
#include "config/DescriptorTrust.h"
#include "config/IniFile.h"
#include "download/ProgressReport.h"
#include "framework/MessageBox.h"
#include "framework/Process.h"

// The extra file's message is shown from a buffer of this size.
constexpr size_t kMessageBufferSize = 200;

LRESULT CUpdaterDlg::OnDownloadProgress(WPARAM /*wParam*/, LPARAM lParam)
{
    auto* pReport = reinterpret_cast<ProgressReport*>(lParam);
    CString strSpeed = pReport->strSpeed;
    int nPercent = pReport->nPercent;
    ReleaseProgressReport(pReport);

    CString strPercent;
    strPercent.Format("%d%%", nPercent);
    SetDlgItemText(IDC_STATIC_SPEED, strSpeed);
    SetDlgItemText(IDC_STATIC_PERCENT, strPercent);
    m_progress.SetPos(nPercent);

    if (nPercent == 100)
        CompleteDownload();
    return 1;
}

void CUpdaterDlg::CompleteDownload()
{
    GetDlgItem(IDC_BTN_UPGRADE).EnableWindow(TRUE);
    GetDlgItem(IDC_BTN_EXTRA).EnableWindow(TRUE);
    CloseMainProgram(m_nDownloadKind == 0);

    if (m_nDownloadKind == 0) {
        ::ShellExecuteA(nullptr, nullptr, g_szPackagePath, nullptr, nullptr, SW_SHOWNORMAL);
        AfxEndProcess(0);
    }
    if (m_nDownloadKind == 1 && ConfirmDescriptorIntact()) {
        CString message = ReadIniString(g_szDescriptorPath, Descriptor::extraMessage);
        char buffer[kMessageBufferSize];
        CopyTextCut(buffer, sizeof buffer, message);
        AfxMessageBox(buffer, MB_OK);
    }
}
