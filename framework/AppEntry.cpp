// The program's entry: run the application object's start-up, then end.
#include <windows.h>

#include "framework/WinApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return 1;
    try {
        // A dialog-based application does all its work in InitInstance and
        // returns FALSE; there is no message loop of the application's own.
        pApp->InitInstance();
    } catch (...) {
        return 1;  // nothing the program throws itself reaches here
    }
    return 0;
}
