// The signed program as a user meets it, with a descriptor that the
// publisher tool signed and pinned at build time: the update runs to its
// end; one changed byte of the descriptor stops it at the check.
#include <gtest/gtest.h>

#include <string>

#include "app/Resource.h"
#include "tests/support/DialogHost.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/TempDir.h"

namespace {

// Where the build put the signed Updater.exe and the tool-signed descriptor:
// "bin-signed" beside the test programs' "bin".
std::string SignedBinDir()
{
    std::string bin = TestBinDir();  // ends in "bin\"
    return bin.substr(0, bin.size() - 1) + "-signed\\";
}

class SignedRoadNet : public testing::Test {
protected:
    SignedRoadNet() : m_folder("signed-road"), m_server(UPDATER_TEST_PORT)
    {
        m_updater = m_folder / "Updater.exe";
        CopyFileA((SignedBinDir() + "Updater.exe").c_str(), m_updater.c_str(), FALSE);
        m_folder.WriteFile("config.ini", "[OPTION]\r\ntotal=1\r\nver=1\r\n");
        m_descriptor = ReadFileBytes(SignedBinDir() + "road-upt.htm");
        m_server.Serve("/soft/zevi/upt.htm.sig",
                       HttpResponse::Bytes(ReadFileBytes(SignedBinDir() + "road-upt.htm.sig")));
        m_server.Serve("/pkg/setup.exe", HttpResponse::Bytes(ReadFileBytes(TestBinDir() + "RecordRun.exe")));
    }

    size_t PackageRequests() const
    {
        size_t n = 0;
        for (const std::string& request : m_server.Requests())
            n += request.rfind("GET /pkg/setup.exe ", 0) == 0;
        return n;
    }

    InstallFolder m_folder;
    HttpTestServer m_server;
    std::string m_updater;
    std::string m_descriptor;
};

}  // namespace

TEST_F(SignedRoadNet, AToolSignedUpdateRunsToItsEnd)
{
    ASSERT_NE(std::string::npos, m_descriptor.find("sha256="));
    m_server.Serve("/soft/zevi/upt.htm", HttpResponse::Bytes(m_descriptor));
    TestProcess updater(m_updater, "\"" + m_updater + "\" /check");
    HWND hDlg = updater.WaitForDialog("Updater", IDC_EDIT_INFO);
    ASSERT_NE(nullptr, hDlg);
    ASSERT_TRUE(PressButton(hDlg, IDC_BTN_UPGRADE));
    ASSERT_TRUE(updater.WaitForExit(60000));
    EXPECT_EQ(0u, updater.ExitCode());
    EXPECT_TRUE(WaitUntil([&] { return FileExists(m_folder / "setup.exe.ran"); }));
}

TEST_F(SignedRoadNet, OneChangedDescriptorByteIsToldAndNothingRuns)
{
    std::string changed = m_descriptor;
    changed[changed.find("total=2") + 6] = '9';
    m_server.Serve("/soft/zevi/upt.htm", HttpResponse::Bytes(changed));
    TestProcess updater(m_updater, "\"" + m_updater + "\" /check");
    EXPECT_EQ("升级信息签名无效!", updater.AnswerMessageBox("Updater").text);
    EXPECT_EQ("版本检查失败！", updater.AnswerMessageBox("Updater").text);
    HWND hDlg = updater.WaitForDialog("Updater", IDC_EDIT_INFO);
    ASSERT_NE(nullptr, hDlg);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hDlg, IDC_BTN_UPGRADE)));
    EXPECT_EQ("", DlgItemText(hDlg, IDC_EDIT_INFO));
    ASSERT_TRUE(PressButton(hDlg, IDOK));
    ASSERT_TRUE(updater.WaitForExit());
    EXPECT_EQ(0u, PackageRequests());
    EXPECT_FALSE(FileExists(m_folder / "upt.cfg"));
    EXPECT_FALSE(FileExists(m_folder / "upt.cfg.new"));
}
