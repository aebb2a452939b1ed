// The upgrade button: download the package into the install folder.
#include <windows.h>

#include "actions/DescriptorChecks.h"
#include "actions/DownloadPin.h"
#include "app/UpdaterDlg.h"
#include "config/AppPaths.h"
#include "config/DescriptorTrust.h"
#include "config/IniFile.h"
#include "download/DownloadJob.h"
#include "framework/MessageBox.h"

void CUpdaterDlg::OnUpgrade()
{
    if (!ConfirmDescriptorIntact())
        return;
    m_nDownloadKind = 0;
    GetDlgItem(IDC_BTN_UPGRADE).EnableWindow(FALSE);
    GetDlgItem(IDC_BTN_EXTRA).EnableWindow(FALSE);

    CString url = ReadIniString(g_szDescriptorPath, Descriptor::packageUrl);
    CString file = ReadIniString(g_szDescriptorPath, Descriptor::packageFile);
    FormPackagePath(file);

    if (url.IsEmpty()) {
        AfxMessageBox("请输入Internet文件的URL!", MB_OK);
        return;
    }
    // A name from the network must not place the file, which is run as
    // administrator, anywhere but the install folder.
    if (!IsSafePackageName(file)) {
        AfxMessageBox("不能打开本地的文件!", MB_OK);
        AfxMessageBox("下载失败!", MB_OK);
        return;
    }
    std::optional<Sha256Digest> pin;
    if (!ReadDownloadPin(Descriptor::packageSha256, &pin))
        return;
    StartDownloadJob(m_hWnd, url, g_szPackagePath, AfxBeginThread, pin);
}
