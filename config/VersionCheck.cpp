// The version check run when the program starts with an argument.
#include <windows.h>

#include "app/CommandLine.h"
#include "app/UpdaterDlg.h"
#include "config/AppPaths.h"
#include "config/BuildSettings.h"
#include "config/DescriptorFetch.h"
#include "config/DescriptorTrust.h"
#include "config/IniFile.h"
#include "config/VersionNumber.h"
#include "config/VersionReport.h"
#include "framework/MessageBox.h"
#include "framework/Process.h"

// Where the update server publishes the descriptor, after its base URL.
static const char kDescriptorUrlPath[] = "/soft/zevi/upt.htm";

static VersionNumbers ReadNumbers(const char* path, const IniKey& total, const IniKey& ver)
{
    return VersionNumbers{ParseVersionNumber(ReadIniString(path, total)),
                          ParseVersionNumber(ReadIniString(path, ver))};
}

static CString ChangeLine(int n)
{
    CString key;
    key.Format(Descriptor::contentKeyFormat, n);
    return ReadIniString(g_szDescriptorPath, Descriptor::contentSection, key,
                         Descriptor::contentLineSize);
}

int CUpdaterDlg::CheckForUpdate()
{
    FormInstallPaths();
    VersionNumbers local = ReadNumbers(g_szConfigPath, LocalConfig::total, LocalConfig::ver);
    VersionTexts texts;
    texts.localBuild = ReadIniString(g_szConfigPath, LocalConfig::build);
    texts.localDate = ReadIniString(g_szConfigPath, LocalConfig::date);

    CString url = CString(kUpdateServerBaseUrl) + kDescriptorUrlPath;
    DescriptorFetch fetch = FetchDescriptor(m_hWnd, url);
    if (fetch != DescriptorFetch::Ok) {
        // Only the interactive mode tells why; the others end quietly.
        if (m_strModeTag == kModeInteractive)
            AfxMessageBox(fetch == DescriptorFetch::Forged ? kForgedDescriptorText : "下载失败!", MB_OK);
        return 0;
    }

    VersionNumbers remote = ReadNumbers(g_szDescriptorPath, Descriptor::total, Descriptor::ver);
    texts.remoteBuild = ReadIniString(g_szDescriptorPath, Descriptor::build);
    texts.remoteDate = ReadIniString(g_szDescriptorPath, Descriptor::date);
    ShowExtraButtonIfAsked();

    if (IsNewerVersion(m_strModeTag, local, remote)) {
        GetDlgItem(IDC_BTN_UPGRADE).EnableWindow(TRUE);
        SetDlgItemText(IDC_EDIT_INFO, FormatVersionReport(texts, ChangeLine));
        return 1;
    }
    // Only the interactive and the quiet mode can find no newer version.
    if (m_strCmdLine.Right(2) == kTailQuiet)
        AfxEndProcess(0);
    SetDlgItemText(IDC_EDIT_INFO, kUpToDateText);
    return 1;
}

void CUpdaterDlg::ShowExtraButtonIfAsked()
{
    int visible = ParseInteger(ReadIniString(g_szDescriptorPath, Descriptor::extraVisible));
    CString caption = ReadIniString(g_szDescriptorPath, Descriptor::extraCaption);
    if (visible != 1)
        return;
    CWnd button = GetDlgItem(IDC_BTN_EXTRA);
    button.ShowWindow(SW_SHOW);
    button.SetWindowText(caption);
}
