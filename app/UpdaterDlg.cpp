#include "app/UpdaterDlg.h"

#include "app/CommandLine.h"
#include "app/Launcher.h"
#include "download/ProgressReport.h"
#include "framework/MessageBox.h"
#include "framework/Process.h"
#include "framework/WinApp.h"

CUpdaterDlg::CUpdaterDlg(CWnd* pParent)
    : CDialog(IDD_UPDATER_DIALOG, pParent),
      m_hIcon(AfxGetApp()->LoadIcon(IDR_MAINFRAME)),
      m_nDownloadKind(-1)  // no download started yet
{
}

void CUpdaterDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
}

BEGIN_MESSAGE_MAP(CUpdaterDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_BTN_UPGRADE, &CUpdaterDlg::OnUpgrade)
    ON_MESSAGE(WM_DOWNLOAD_PROGRESS, &CUpdaterDlg::OnDownloadProgress)
    ON_BN_CLICKED(IDC_BTN_EXTRA, &CUpdaterDlg::OnExtraAction)
END_MESSAGE_MAP()

BOOL CUpdaterDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    AddAboutEntry();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_strCmdLine = CleanCommandLine(AfxGetCommandLine());
    m_strModeTag = ModeTagOf(m_strCmdLine);
    const bool bLauncher = m_strModeTag == kModeLauncher;

    // Every later step derives paths from the module path in 200-byte
    // buffers; a longer path stops the run before anything is read.
    if (!ModulePathFits()) {
        if (bLauncher || m_strModeTag == kModeInteractive)
            ReportLongModulePath();
        AfxEndProcess(0);
    }

    if (bLauncher)
        RunLauncher();
    RunCheckMode();
    return TRUE;
}

void CUpdaterDlg::RunCheckMode()
{
    SetWindowPos(&wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (CheckForUpdate())
        return;
    if (m_strModeTag != kModeInteractive)
        AfxEndProcess(0);
    AfxMessageBox("版本检查失败！", MB_OK);
}

void CUpdaterDlg::OnOK()
{
    CDialog::OnOK();
}
