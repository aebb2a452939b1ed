#include <gtest/gtest.h>

#include "app/UpdaterDlg.h"
#include "framework/Process.h"
#include "tests/support/DialogHost.h"
#include "tests/support/Seams.h"

TEST(HostedDialog, FailedCheckInInteractiveModeKeepsTheDialogInItsInitialState)
{
    ScopedSeams seams("C:\\Q\\Updater.exe /check", "C:\\Q\\Updater.exe");
    CUpdaterDlg dlg;
    bool driven = false;
    RunHostedDialog(dlg, [&](HWND hDlg) {
        driven = true;
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hDlg, IDC_BTN_UPGRADE)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(hDlg, IDC_BTN_EXTRA)));
        EXPECT_EQ("", DlgItemText(hDlg, IDC_EDIT_INFO));
        EXPECT_EQ("0 KB/秒", DlgItemText(hDlg, IDC_STATIC_SPEED));
        EXPECT_EQ("0%", DlgItemText(hDlg, IDC_STATIC_PERCENT));
        EXPECT_EQ(0, SendDlgItemMessageA(hDlg, IDC_PROGRESS, PBM_GETPOS, 0, 0));
        EXPECT_TRUE(GetWindowLongA(hDlg, GWL_EXSTYLE) & WS_EX_TOPMOST);
    });
    EXPECT_TRUE(driven);
    EXPECT_EQ(std::vector<std::string>{"版本检查失败！"}, ScopedSeams::MessageBoxes());
}

TEST(HostedDialog, LauncherWithoutConfigReportsTheMissingFileAndEnds)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string exe = std::string(dir) + "updater-no-config\\Updater.exe";
    ScopedSeams seams("\"" + exe + "\"", exe);
    CUpdaterDlg dlg;
    try {
        RunHostedDialog(dlg, [](HWND) {});
        FAIL() << "the process did not end";
    } catch (const CProcessExit& exit) {
        EXPECT_EQ(0u, exit.nExitCode);
    }
    std::string expected = "未找到" + std::string(dir) + "updater-no-config\\config.ini！错误号:3";
    EXPECT_EQ(std::vector<std::string>{expected}, ScopedSeams::MessageBoxes());
}
