// The whole upgrade as a user meets it: the main program runs, the updater
// is started to check, the user presses "升级", the download runs, the main
// program is asked to close and the package runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "app/Resource.h"
#include "tests/support/DialogHost.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/TempDir.h"

namespace {

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class UpgradeRoadNet : public testing::Test {
protected:
    UpgradeRoadNet() : m_folder("road"), m_server(UPDATER_TEST_PORT)
    {
        m_updater = m_folder.CopyProgram("Updater.exe", "Updater.exe");
        m_zevi = m_folder.CopyProgram("Zevi.exe", "Zevi\\Zevi.exe");
        m_folder.WriteFile("config.ini", "[OPTION]\r\ntotal=1\r\nver=1\r\nfolder=Zevi\r\n");
        // The package: a program that records its run, with data appended so
        // that the download takes a number of blocks.
        m_package = ReadFileBytes(TestBinDir() + "RecordRun.exe") + std::string(600 * 1024, 'p');
        m_server.Serve("/soft/zevi/upt.htm",
                       HttpResponse::Bytes("[VERSION]\r\ntotal=2\r\nver=2\r\n[ADDRESS]\r\nurl=" +
                                           m_server.Url("/pkg/setup.exe") + "\r\nfile=setup.exe\r\n"));
    }

    void ServePackage(HttpResponse response)
    {
        response.trickleBytes = 64 * 1024;
        response.trickleDelayMs = 40;
        m_server.Serve("/pkg/setup.exe", response);
    }

    // The stand-in main program in the given mode; its window is up on return.
    std::unique_ptr<TestProcess> StartMainProgram(const char* mode)
    {
        auto zevi = std::make_unique<TestProcess>(
            m_zevi, "\"" + m_zevi + "\" Quillorn2019 \"" + Record() + "\" " + mode);
        EXPECT_NE(nullptr, zevi->WaitForWindow("ThunderRT6FormDC", "Quillorn2019"));
        return zevi;
    }

    std::string Record() const { return m_folder / "Zevi\\Zevi.log"; }

    // Starts the check, presses "升级" and returns the dialog (null if none).
    HWND StartUpgrade(TestProcess& updater)
    {
        EXPECT_TRUE(updater.Started());
        HWND hDlg = updater.WaitForDialog("Updater", IDC_EDIT_INFO);
        if (hDlg != nullptr) {
            EXPECT_TRUE(PressButton(hDlg, IDC_BTN_UPGRADE));
        }
        return hDlg;
    }

    InstallFolder m_folder;
    HttpTestServer m_server;
    std::string m_updater;
    std::string m_zevi;
    std::string m_package;
};

}  // namespace

TEST_F(UpgradeRoadNet, DownloadsClosesTheMainProgramRunsTheCompletePackageAndEnds)
{
    ServePackage(HttpResponse::Bytes(m_package));
    auto zevi = StartMainProgram("normal");
    TestProcess updater(m_updater, "\"" + m_updater + "\" /check");
    HWND hDlg = StartUpgrade(updater);
    ASSERT_NE(nullptr, hDlg);

    std::set<std::string> percents;
    WaitUntil([&] {
        std::string percent = DlgItemText(hDlg, IDC_STATIC_PERCENT);
        if (!percent.empty())
            percents.insert(percent);
        return !updater.IsRunning();
    }, 60000);
    ASSERT_TRUE(updater.WaitForExit());
    EXPECT_EQ(0u, updater.ExitCode());
    EXPECT_GE(percents.size(), 3u) << "the percent did not move while the download ran";

    EXPECT_TRUE(Contains(ReadLines(Record()), "close"));
    EXPECT_TRUE(WaitUntil([&] { return FileExists(m_folder / "setup.exe.ran"); }));
    EXPECT_EQ(m_package, ReadFileBytes(m_folder / "setup.exe"));
}

TEST_F(UpgradeRoadNet, ABrokenDownloadIsToldAndNothingRuns)
{
    HttpResponse response = HttpResponse::Bytes(m_package);
    response.cut = BodyCut::Close;
    response.cutAfter = 200 * 1024;
    ServePackage(response);
    TestProcess updater(m_updater, "\"" + m_updater + "\" /check");
    HWND hDlg = StartUpgrade(updater);
    ASSERT_NE(nullptr, hDlg);

    MessageBoxSeen first = updater.AnswerMessageBox("Updater", 60000);
    MessageBoxSeen second = updater.AnswerMessageBox("Updater");
    EXPECT_EQ("读文件出错!", first.text);
    EXPECT_EQ("下载失败!", second.text);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hDlg, IDC_BTN_UPGRADE)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hDlg, IDC_BTN_EXTRA)));
    EXPECT_TRUE(updater.IsRunning());

    ASSERT_TRUE(PressButton(hDlg, IDOK));
    ASSERT_TRUE(updater.WaitForExit());
    EXPECT_EQ(0u, updater.ExitCode());
    EXPECT_FALSE(FileExists(m_folder / "setup.exe.ran"));
}

TEST_F(UpgradeRoadNet, AHungOrLingeringMainProgramDoesNotStopTheUpgrade)
{
    ServePackage(HttpResponse::Bytes(m_package));
    for (const char* mode : {"hung", "linger"}) {
        SCOPED_TRACE(mode);
        DeleteFileA((m_folder / "setup.exe.ran").c_str());
        auto zevi = StartMainProgram(mode);
        TestProcess updater(m_updater, "\"" + m_updater + "\" /check");
        ASSERT_NE(nullptr, StartUpgrade(updater));
        ASSERT_TRUE(updater.WaitForExit(60000));
        EXPECT_EQ(0u, updater.ExitCode());
        EXPECT_TRUE(WaitUntil([&] { return FileExists(m_folder / "setup.exe.ran"); }));
        if (std::string(mode) == "linger") {
            // The package was started only once the main program had ended.
            EXPECT_FALSE(zevi->IsRunning());
            EXPECT_TRUE(Contains(ReadLines(Record()), "exit"));
        }
    }
}
