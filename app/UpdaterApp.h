// The application object: runs the main dialog once and ends.
#pragma once

#include "framework/WinApp.h"

class CUpdaterApp : public CWinApp {
public:
    CUpdaterApp() = default;
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CUpdaterApp theApp;
