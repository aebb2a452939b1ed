// CWinApp: the one application object. Its constructor registers it; the
// entry point (AppEntry.cpp) calls InitInstance and ends the process when it
// returns FALSE, which is the only way this program uses.
#pragma once

#include <windows.h>

#include "framework/MessageMap.h"
#include "framework/Wnd.h"

class CWinApp : public CCmdTarget {
public:
    // pszAppName null: the name is the executable's file name without its
    // extension ("Updater" for Updater.exe).
    explicit CWinApp(const char* pszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    // The icon group nIDResource of the resource module, at the system's
    // standard icon size; null when it is missing.
    HICON LoadIcon(UINT nIDResource) const;
    // The Help command: there is no help file, so it shows nothing.
    void OnHelp();

    CWnd* m_pMainWnd = nullptr;
    char m_szAppName[MAX_PATH] = {};
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
const char* AfxGetAppName();
HINSTANCE AfxGetResourceHandle();

// Kept for the application's start-up sequence; neither has anything to do
// on the platforms this framework runs on.
void AfxEnableControlContainer();
BOOL Enable3dControls();

// Command id of the framework's Help command.
constexpr UINT ID_HELP = 0xE146;
