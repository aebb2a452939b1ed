// CWnd: a window handle and the few operations on it that the program uses.
// A CWnd does not own its window; copies name the same window.
#pragma once

#include <windows.h>

#include "framework/CString.h"
#include "framework/MessageMap.h"

class CMenu;

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}

    HWND GetSafeHwnd() const { return m_hWnd; }

    CWnd GetDlgItem(int nID) const;
    void SetDlgItemText(int nID, const char* text) const;
    CString GetWindowText() const;
    void SetWindowText(const char* text) const;
    BOOL EnableWindow(BOOL bEnable = TRUE) const;
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int nCmdShow) const;
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL SetWindowPos(const CWnd* pInsertAfter, int x, int y, int cx, int cy, UINT nFlags) const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon) const;
    void GetClientRect(LPRECT rect) const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    CMenu GetSystemMenu(BOOL bRevert) const;

    // The special windows that SetWindowPos accepts as pInsertAfter.
    static const CWnd wndTopMost;

    HWND m_hWnd = nullptr;

protected:
    // Base handlers: each leaves the message to the system's default handling.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();

    // Asks that the message being handled also gets the default handling.
    void Default();
    // True once after Default() was called for the current message.
    bool TakeDefaultRequest();

private:
    bool m_bDefaultRequested = false;
};
