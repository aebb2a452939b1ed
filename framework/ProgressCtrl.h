// CProgressCtrl: a progress bar control, attached by DDX_Control.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/Wnd.h"

class CProgressCtrl : public CWnd {
public:
    // Sends PBM_SETPOS; returns the previous position.
    int SetPos(int nPos) const
    {
        return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos), 0));
    }
};
