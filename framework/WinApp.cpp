#include "framework/WinApp.h"

#include "framework/Gbk.h"

static CWinApp* g_pApp = nullptr;

// The executable's file name without directory and extension.
static void CopyModuleBaseName(char* name, int nSize)
{
    char path[MAX_PATH * 2] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return;
    char* base = path + GbkFindLast(path, '\\') + 1;
    int dot = GbkFindLast(base, '.');
    if (dot >= 0)
        base[dot] = '\0';
    lstrcpynA(name, base, nSize);
}

CWinApp::CWinApp(const char* pszAppName)
{
    if (pszAppName != nullptr)
        lstrcpynA(m_szAppName, pszAppName, sizeof m_szAppName);
    else
        CopyModuleBaseName(m_szAppName, sizeof m_szAppName);
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
}

void CWinApp::OnHelp() {}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp != nullptr ? g_pApp->m_pMainWnd : nullptr;
}

const char* AfxGetAppName()
{
    return g_pApp != nullptr ? g_pApp->m_szAppName : "";
}

HINSTANCE AfxGetResourceHandle()
{
    return ::GetModuleHandleA(nullptr);
}

void AfxEnableControlContainer() {}

BOOL Enable3dControls()
{
    return TRUE;
}
