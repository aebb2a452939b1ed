#include <gtest/gtest.h>

#include "app/UpdaterDlg.h"
#include "framework/Process.h"
#include "tests/support/DialogHost.h"
#include "tests/support/Seams.h"

TEST(HostedDialogDesktop, LauncherWithoutConfigReportsTheMissingFileAndEnds)
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
