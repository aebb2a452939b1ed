// The main dialog: the version report, the upgrade and extra buttons, and
// the download's speed, percent and progress bar.
#pragma once

#include "app/Resource.h"
#include "framework/CString.h"
#include "framework/Dialog.h"
#include "framework/ProgressCtrl.h"

class CUpdaterDlg : public CDialog {
public:
    explicit CUpdaterDlg(CWnd* pParent = nullptr);

    enum { IDD = IDD_UPDATER_DIALOG };

    // Decides whether a newer version exists and prepares the dialog.
    // Nonzero: the dialog stays open; 0: the descriptor could not be fetched.
    int CheckForUpdate();

    CProgressCtrl m_progress;
    CString m_strModeTag;
    CString m_strCmdLine;  // cleaned; kept, since the check reads its tail
    HICON m_hIcon;
    int m_nDownloadKind;  // 0 upgrade package, 1 extra file; set before each job

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnUpgrade();
    LRESULT OnDownloadProgress(WPARAM wParam, LPARAM lParam);
    void OnExtraAction();

    DECLARE_MESSAGE_MAP()

private:
    void AddAboutEntry();
    void RunCheckMode();
    void ShowExtraButtonIfAsked();
    void CompleteDownload();
};
