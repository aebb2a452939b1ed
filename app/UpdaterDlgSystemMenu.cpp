// The main dialog's furniture: the About entry of the system menu, the icon
// drawn while minimized, and the drag icon.
#include "app/AboutDlg.h"
#include "app/IconPosition.h"
#include "app/UpdaterDlg.h"
#include "framework/Menu.h"
#include "framework/PaintDC.h"

void CUpdaterDlg::AddAboutEntry()
{
    CMenu sysMenu = GetSystemMenu(FALSE);
    if (sysMenu.m_hMenu == nullptr)
        return;
    CString strAboutMenu;
    strAboutMenu.LoadString(IDS_ABOUTBOX);
    if (strAboutMenu.IsEmpty())
        return;
    sysMenu.AppendMenu(MF_SEPARATOR);
    sysMenu.AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
}

void CUpdaterDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CUpdaterDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT rect;
    GetClientRect(&rect);
    IconOrigin origin = CentredIconOrigin(rect.right - rect.left, rect.bottom - rect.top,
                                          ::GetSystemMetrics(SM_CXICON),
                                          ::GetSystemMetrics(SM_CYICON));
    dc.DrawIcon(origin.x, origin.y, m_hIcon);
}

HCURSOR CUpdaterDlg::OnQueryDragIcon()
{
    return reinterpret_cast<HCURSOR>(m_hIcon);
}
