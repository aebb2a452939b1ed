// The About box, opened from the system menu.
#pragma once

#include "app/Resource.h"
#include "framework/Dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
    enum { IDD = IDD_ABOUTBOX };

protected:
    void DoDataExchange(CDataExchange* pDX) override { CDialog::DoDataExchange(pDX); }
};
