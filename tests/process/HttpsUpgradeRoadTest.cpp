// The whole upgrade over TLS, as a user meets it: an Updater.exe whose
// update server is https://localhost (the TLS test server) checks, the user
// presses "升级", the package arrives over TLS and runs.
#include <gtest/gtest.h>

#include <string>

#include "app/Resource.h"
#include "tests/support/DialogHost.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestServers.h"

TEST(HttpsUpgradeRoad, CheckDownloadAndPackageRunAllOverTls)
{
    InstallFolder folder("tls-road");
    const std::string updater = folder.CopyProgram("tls\\Updater.exe", "Updater.exe");
    folder.WriteFile("config.ini", "[OPTION]\r\ntotal=1\r\nver=1\r\nfolder=Zevi\r\n");
    // A program that records its run, padded so that it takes many blocks.
    const std::string package = ReadFileBytes(TestBinDir() + "RecordRun.exe") + std::string(600 * 1024, 'p');
    PublishOverTls("/pkg/road-setup.exe", package);
    PublishOverTls("/soft/zevi/upt.htm", "[VERSION]\r\ntotal=2\r\nver=2\r\n[ADDRESS]\r\nurl=" +
                                             HttpsUrl(SERVED_TLS_PORT, "/pkg/road-setup.exe") +
                                             "\r\nfile=setup.exe\r\n");

    TestProcess process(updater, "\"" + updater + "\" /check");
    ASSERT_TRUE(process.Started());
    HWND hDlg = process.WaitForDialog("Updater", IDC_EDIT_INFO);
    ASSERT_NE(nullptr, hDlg) << "the check over TLS showed no report";
    ASSERT_TRUE(PressButton(hDlg, IDC_BTN_UPGRADE));
    ASSERT_TRUE(process.WaitForExit(60000));
    EXPECT_EQ(0u, process.ExitCode());
    EXPECT_TRUE(WaitUntil([&] { return FileExists(folder / "setup.exe.ran"); }));
    EXPECT_TRUE(package == ReadFileBytes(folder / "setup.exe"));
}
