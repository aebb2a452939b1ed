#include "app/UpdaterApp.h"

#include "app/UpdaterDlg.h"

CUpdaterApp theApp;

BEGIN_MESSAGE_MAP(CUpdaterApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

BOOL CUpdaterApp::InitInstance()
{
    AfxEnableControlContainer();
    Enable3dControls();

    CUpdaterDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();  // however it ended, the program is done
    m_pMainWnd = nullptr;
    return FALSE;
}
