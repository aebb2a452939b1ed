// CPaintDC: BeginPaint on construction, EndPaint on destruction.
#pragma once

#include <windows.h>

class CWnd;

class CPaintDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    BOOL DrawIcon(int x, int y, HICON hIcon);

    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
    HDC m_hDC;
};
