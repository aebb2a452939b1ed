// The framework's message maps in a running dialog: entries reach their
// handlers with their arguments, a derived map comes before its base, the
// application's map gets the commands no window handles, and ending the
// process from a handler comes out of DoModal.
#include <gtest/gtest.h>

#include <atomic>

#include "app/Resource.h"
#include "app/UpdaterApp.h"
#include "framework/Dialog.h"
#include "framework/Process.h"
#include "tests/support/DialogHost.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/Seams.h"

namespace {

constexpr UINT WM_PROBE = WM_APP + 1;
constexpr UINT WM_PROBE_END_PROCESS = WM_APP + 2;
constexpr UINT WM_UNMAPPED = WM_APP + 3;
constexpr int ID_PROBE_COMMAND = 0x7F01;

// Any template with an IDOK button will do; the About box has one.
class CProbeDlg : public CDialog {
public:
    CProbeDlg() : CDialog(IDD_ABOUTBOX) {}

    std::atomic<int> m_nOkClicks{0};
    std::atomic<int> m_nCommands{0};

protected:
    LRESULT OnProbe(WPARAM wParam, LPARAM lParam)
    {
        return static_cast<LRESULT>(wParam) * 100 + lParam;
    }
    LRESULT OnEndProcess(WPARAM wParam, LPARAM) { AfxEndProcess(static_cast<UINT>(wParam)); }
    void OnOkClicked() { ++m_nOkClicks; }
    void OnProbeCommand() { ++m_nCommands; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeDlg, CDialog)
    ON_MESSAGE(WM_PROBE, &CProbeDlg::OnProbe)
    ON_MESSAGE(WM_PROBE_END_PROCESS, &CProbeDlg::OnEndProcess)
    ON_BN_CLICKED(IDOK, &CProbeDlg::OnOkClicked)
    ON_COMMAND(ID_PROBE_COMMAND, &CProbeDlg::OnProbeCommand)
END_MESSAGE_MAP()

TEST(FrameworkDispatch, MapEntriesReachTheirHandlersAndComeBeforeTheBase)
{
    CProbeDlg dlg;
    bool closedByCancel = false;
    INT_PTR result = RunHostedDialog(dlg, [&](HWND hDlg) {
        EXPECT_EQ(304, SendMessageA(hDlg, WM_PROBE, 3, 4));
        EXPECT_EQ(0, SendMessageA(hDlg, WM_UNMAPPED, 3, 4));

        // The derived map's IDOK entry wins over CDialog's OnOK.
        EXPECT_TRUE(PressButton(hDlg, IDOK));
        EXPECT_TRUE(WaitUntil([&] { return dlg.m_nOkClicks == 1; }));
        EXPECT_TRUE(IsWindow(hDlg));

        // A menu command (notification 0) and an accelerator (1) alike.
        SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(ID_PROBE_COMMAND, 0), 0);
        SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(ID_PROBE_COMMAND, 1), 0);
        EXPECT_EQ(2, dlg.m_nCommands);

        // IDCANCEL is not in the derived map: the base ends the dialog.
        PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        closedByCancel = WaitUntil([&] { return !IsWindow(hDlg); });
    });
    EXPECT_TRUE(closedByCancel);
    EXPECT_EQ(IDCANCEL, result);
}

TEST(FrameworkDispatch, CommandsNoWindowHandlesGoToTheApplicationsMap)
{
    ASSERT_EQ(&theApp, AfxGetApp());
    CProbeDlg dlg;
    LRESULT result = 0;
    // ID_HELP is only in CUpdaterApp's map, which routes it to CWinApp::OnHelp.
    EXPECT_TRUE(dlg.OnWndMsg(WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0, &result));
    EXPECT_TRUE(theApp.OnWndMsg(WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0, &result));
    EXPECT_FALSE(dlg.OnWndMsg(WM_COMMAND, MAKEWPARAM(ID_HELP + 1, 0), 0, &result));
    EXPECT_FALSE(theApp.OnWndMsg(WM_HELP, 0, 0, &result));
}

TEST(FrameworkDispatch, EndingTheProcessInAHandlerComesOutOfDoModal)
{
    ScopedSeams seams("C:\\Q\\Updater.exe /check", "C:\\Q\\Updater.exe");
    CProbeDlg dlg;
    HWND hWnd = nullptr;
    try {
        RunHostedDialog(dlg, [&](HWND hDlg) {
            hWnd = hDlg;
            PostMessageA(hDlg, WM_PROBE_END_PROCESS, 3, 0);
            WaitUntil([&] { return !IsWindow(hDlg); });
        });
        FAIL() << "DoModal returned instead of carrying the exit out";
    } catch (const CProcessExit& exit) {
        EXPECT_EQ(3u, exit.nExitCode);
    }
    EXPECT_NE(nullptr, hWnd);
    EXPECT_FALSE(IsWindow(hWnd));
}

}  // namespace
