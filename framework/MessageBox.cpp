#include "framework/MessageBox.h"

#include <atomic>

#include "framework/WinApp.h"

static std::atomic<AfxMessageBoxHandler> g_handler{nullptr};

void AfxSetMessageBoxHandler(AfxMessageBoxHandler handler)
{
    g_handler.store(handler);
}

int AfxMessageBox(const char* text, UINT nType, UINT /*nIDHelp: no help file*/)
{
    if (AfxMessageBoxHandler handler = g_handler.load())
        return handler(text, nType);
    CWnd* pMainWnd = AfxGetMainWnd();
    HWND hOwner = pMainWnd != nullptr ? pMainWnd->m_hWnd : nullptr;
    return ::MessageBoxA(hOwner, text, AfxGetAppName(), nType);
}
