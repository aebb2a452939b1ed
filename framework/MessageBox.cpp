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
    // Owned by the box the user has open over the main window, if any, so
    // that the message comes above it and that box stays modal afterwards.
    CWnd* pMainWnd = AfxGetMainWnd();
    HWND hOwner = pMainWnd != nullptr ? ::GetLastActivePopup(pMainWnd->m_hWnd) : nullptr;
    return ::MessageBoxA(hOwner, text, AfxGetAppName(), nType);
}
