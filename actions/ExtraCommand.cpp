// The extra button: download one more file, or open a web page.
#include <windows.h>
#include <shellapi.h>

#include "actions/DescriptorChecks.h"
#include "actions/DownloadPin.h"
#include "app/UpdaterDlg.h"
#include "config/AppPaths.h"
#include "config/DescriptorTrust.h"
#include "config/IniFile.h"
#include "download/DownloadJob.h"

void CUpdaterDlg::OnExtraAction()
{
    if (!ConfirmDescriptorIntact())
        return;
    m_nDownloadKind = 1;
    CString target = ReadIniString(g_szDescriptorPath, Descriptor::extraTarget);
    CString url = ReadIniString(g_szDescriptorPath, Descriptor::extraUrl);
    CString file = ReadIniString(g_szDescriptorPath, Descriptor::extraFile);

    if (target != Descriptor::extraTargetFile) {
        // Only web pages: anything else handed to the shell would be run
        // with the updater's administrator rights. Both failures are silent,
        // as a failed shell call is.
        if (IsWebAddress(url))
            ::ShellExecuteA(nullptr, nullptr, url, nullptr, nullptr, SW_SHOWNORMAL);
        return;
    }
    GetDlgItem(IDC_BTN_UPGRADE).EnableWindow(FALSE);
    GetDlgItem(IDC_BTN_EXTRA).EnableWindow(FALSE);
    std::optional<Sha256Digest> pin;
    if (!ReadDownloadPin(Descriptor::extraSha256, &pin))
        return;
    StartDownloadJob(m_hWnd, url, file, AfxBeginThread, pin);
}
