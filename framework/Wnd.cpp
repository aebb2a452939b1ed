#include "framework/Wnd.h"

#include "framework/Menu.h"

const CWnd CWnd::wndTopMost(HWND_TOPMOST);

CWnd CWnd::GetDlgItem(int nID) const
{
    return CWnd(::GetDlgItem(m_hWnd, nID));
}

void CWnd::SetDlgItemText(int nID, const char* text) const
{
    ::SetDlgItemTextA(m_hWnd, nID, text);
}

CString CWnd::GetWindowText() const
{
    int nLength = ::GetWindowTextLengthA(m_hWnd);
    if (nLength <= 0)
        return CString();
    char* buffer = new char[static_cast<size_t>(nLength) + 1];
    int nCopied = ::GetWindowTextA(m_hWnd, buffer, nLength + 1);
    CString text(buffer, nCopied);
    delete[] buffer;
    return text;
}

void CWnd::SetWindowText(const char* text) const
{
    ::SetWindowTextA(m_hWnd, text);
}

BOOL CWnd::EnableWindow(BOOL bEnable) const
{
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowEnabled() const
{
    return ::IsWindowEnabled(m_hWnd);
}

BOOL CWnd::ShowWindow(int nCmdShow) const
{
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::IsWindowVisible() const
{
    return ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::IsIconic() const
{
    return ::IsIconic(m_hWnd);
}

BOOL CWnd::SetWindowPos(const CWnd* pInsertAfter, int x, int y, int cx, int cy, UINT nFlags) const
{
    HWND hInsertAfter = pInsertAfter != nullptr ? pInsertAfter->m_hWnd : nullptr;
    return ::SetWindowPos(m_hWnd, hInsertAfter, x, y, cx, cy, nFlags);
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) const
{
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                               reinterpret_cast<LPARAM>(hIcon)));
}

void CWnd::GetClientRect(LPRECT rect) const
{
    ::GetClientRect(m_hWnd, rect);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

CMenu CWnd::GetSystemMenu(BOOL bRevert) const
{
    return CMenu(::GetSystemMenu(m_hWnd, bRevert));
}

void CWnd::OnSysCommand(UINT, LPARAM)
{
    Default();
}

void CWnd::OnPaint()
{
    Default();
}

HCURSOR CWnd::OnQueryDragIcon()
{
    Default();
    return nullptr;
}

void CWnd::Default()
{
    m_bDefaultRequested = true;
}

bool CWnd::TakeDefaultRequest()
{
    bool requested = m_bDefaultRequested;
    m_bDefaultRequested = false;
    return requested;
}
