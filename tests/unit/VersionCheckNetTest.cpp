// The version check as the dialog runs it at start-up, against the loopback
// update server: what the user sees for each mode, descriptor and failure.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/UpdaterDlg.h"
#include "config/AppPaths.h"
#include "framework/Process.h"
#include "tests/support/DialogHost.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/Seams.h"

namespace {

const char kDescriptorTarget[] = "/soft/zevi/upt.htm";
const std::string kHead =
    "最新版本：V19.0.0.4\r\n发布日期：2019-06-18\r\n目前版本：19.0.0.3\r\n版本日期：2019-01-15\r\n升级内容：";
const char kUpToDate[] = "当前使用版本已经是最新版本，无需升级！";

std::string LocalConfig(const std::string& total, const std::string& ver)
{
    return "[OPTION]\r\nver=" + ver + "\r\ntotal=" + total +
           "\r\nbuild=19.0.0.3\r\ndate=2019-01-15\r\nfolder=Zevi\r\n";
}

std::string Descriptor(const std::string& total, const std::string& ver, const std::string& more = "")
{
    return "[VERSION]\r\ntotal=" + total + "\r\nver=" + ver +
           "\r\nbuild=19.0.0.4\r\ndate=2019-06-18\r\n" + more;
}

// What the user saw of one start in check mode.
struct CheckSeen {
    bool shown = false;
    std::string report;
    bool upgradeEnabled = false;
    bool extraVisible = false;
    std::string extraCaption;
    std::string speed;
    std::string percent;
    LRESULT barPosition = -1;
    std::optional<UINT> exitCode;  // set when the process would have ended
    std::vector<std::string> boxes;
};

class VersionCheckNet : public testing::Test {
protected:
    VersionCheckNet() : m_folder("check"), m_server(UPDATER_TEST_PORT) {}

    void Publish(const std::string& descriptor)
    {
        m_server.Serve(kDescriptorTarget, HttpResponse::Bytes(descriptor));
    }

    CheckSeen Start(const std::string& argument)
    {
        std::string exe = m_folder / "Updater.exe";
        ScopedSeams seams("\"" + exe + "\" " + argument, exe);
        CheckSeen seen;
        CUpdaterDlg dlg;
        try {
            RunHostedDialog(dlg, [&](HWND hDlg) {
                seen.shown = true;
                seen.report = DlgItemText(hDlg, IDC_EDIT_INFO);
                seen.upgradeEnabled = IsWindowEnabled(GetDlgItem(hDlg, IDC_BTN_UPGRADE));
                seen.extraVisible = IsWindowVisible(GetDlgItem(hDlg, IDC_BTN_EXTRA));
                seen.extraCaption = DlgItemText(hDlg, IDC_BTN_EXTRA);
                seen.speed = DlgItemText(hDlg, IDC_STATIC_SPEED);
                seen.percent = DlgItemText(hDlg, IDC_STATIC_PERCENT);
                seen.barPosition = SendDlgItemMessageA(hDlg, IDC_PROGRESS, PBM_GETPOS, 0, 0);
            });
        } catch (const CProcessExit& exit) {
            seen.exitCode = exit.nExitCode;
        }
        seen.boxes = ScopedSeams::MessageBoxes();
        return seen;
    }

    InstallFolder m_folder;
    HttpTestServer m_server;
};

}  // namespace

TEST_F(VersionCheckNet, EachModeComparesItsOwnNumber)
{
    struct {
        const char* argument;
        const char* localTotal;
        const char* localVer;
        const char* remoteTotal;
        const char* remoteVer;
        bool newer;
    } cases[] = {
        {"/check", "2.5", "1", "2.5", "1", false},
        {"/check", "2.5", "1", "2.5", "9", false},  // only totals count
        {"/check", "1.9", "1", "1.10", "1", false},  // 1.10 is 1.1
        {"/check", "16", "1", "16.00000001", "1", false},
        {"/check", "2.5", "1", "2.6", "1", true},
        {"/query", "3", "1", "3", "2", true},        // only vers count
        {"/other", "5", "5", "5", "5", true},        // any other tag: always the report
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.argument) + " local " + c.localTotal + "/" + c.localVer +
                     " remote " + c.remoteTotal + "/" + c.remoteVer);
        m_folder.WriteFile("config.ini", LocalConfig(c.localTotal, c.localVer));
        Publish(Descriptor(c.remoteTotal, c.remoteVer, "[CONTENT]\r\nline1=修正错误\r\n"));
        CheckSeen seen = Start(c.argument);
        ASSERT_TRUE(seen.shown);
        EXPECT_EQ(c.newer, seen.upgradeEnabled);
        EXPECT_EQ(c.newer ? kHead + "\r\n修正错误" : std::string(kUpToDate), seen.report);
        EXPECT_TRUE(seen.boxes.empty());
    }
}

TEST_F(VersionCheckNet, QuietModeWithoutNewsEndsWithoutShowingAnything)
{
    m_folder.WriteFile("config.ini", LocalConfig("3", "2"));
    Publish(Descriptor("4", "2"));
    CheckSeen seen = Start("/query");
    ASSERT_TRUE(seen.exitCode.has_value());
    EXPECT_EQ(0u, *seen.exitCode);
    EXPECT_TRUE(seen.boxes.empty());
}

TEST_F(VersionCheckNet, ReportShowsTheChangeListAsPublished)
{
    m_folder.WriteFile("config.ini", LocalConfig("1", "1"));
    std::string longLine(300, 'x');
    Publish(Descriptor("2", "2", "[CONTENT]\r\nline1=" + longLine + "\r\nline2=100% %d %s\r\nline4=never\r\n"));
    CheckSeen seen = Start("/check");
    EXPECT_EQ(kHead + "\r\n" + longLine.substr(0, 254) + "\r\n100% %d %s", seen.report);

    std::string many = "[CONTENT]\r\n";
    for (int n = 1; n <= 120; ++n)
        many += "line" + std::to_string(n) + "=L" + std::to_string(n) + "\r\n";
    Publish(Descriptor("2", "2", many));
    seen = Start("/check");
    EXPECT_NE(std::string::npos, seen.report.find("\r\nL100"));
    EXPECT_EQ(std::string::npos, seen.report.find("L101"));

    Publish(Descriptor("2", "2"));
    EXPECT_EQ(kHead, Start("/check").report);
}

TEST_F(VersionCheckNet, WithoutConfigTheLocalVersionIsZeroAndBlank)
{
    Publish(Descriptor("0.5", "0.5"));
    CheckSeen seen = Start("/check");
    EXPECT_TRUE(seen.upgradeEnabled);
    EXPECT_EQ("最新版本：V19.0.0.4\r\n发布日期：2019-06-18\r\n目前版本：\r\n版本日期：\r\n升级内容：",
              seen.report);
}

TEST_F(VersionCheckNet, ExtraButtonIsShownOnlyForVisibleOne)
{
    m_folder.WriteFile("config.ini", LocalConfig("2", "2"));
    struct {
        const char* visible;
        bool shown;
    } cases[] = {{"1", true}, {"01", true}, {"1.5", true}, {"0", false},
                 {"2", false}, {"", false}, {"yes", false}};
    std::string caption(60, 'c');
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("visible=") + c.visible);
        Publish(Descriptor("2", "2", std::string("[ADDITIONAL]\r\nvisible=") + c.visible +
                                         "\r\ncaption=" + caption + "\r\n"));
        CheckSeen seen = Start("/check");
        EXPECT_EQ(c.shown, seen.extraVisible);
        EXPECT_EQ(c.shown ? caption.substr(0, 49) : std::string("Demo"), seen.extraCaption);
        EXPECT_EQ(kUpToDate, seen.report);  // shown beside the up-to-date text
    }
}

TEST_F(VersionCheckNet, FailedFetchIsToldOnlyInInteractiveMode)
{
    // A stale descriptor on disk that announces a newer version: a failed
    // fetch must never act on it.
    m_folder.WriteFile("config.ini", LocalConfig("1", "1"));
    m_folder.WriteFile("upt.cfg", Descriptor("9", "9"));
    m_server.Serve(kDescriptorTarget, HttpResponse::Status(404, "Not Found", "<html>gone</html>"));

    CheckSeen interactive = Start("/check");
    ASSERT_TRUE(interactive.shown);
    EXPECT_EQ((std::vector<std::string>{"下载失败!", "版本检查失败！"}), interactive.boxes);
    EXPECT_EQ("", interactive.report);
    EXPECT_FALSE(interactive.upgradeEnabled);
    EXPECT_FALSE(interactive.extraVisible);
    EXPECT_EQ("0 KB/秒", interactive.speed);
    EXPECT_EQ("0%", interactive.percent);
    EXPECT_EQ(0, interactive.barPosition);

    for (const char* argument : {"/query", "/other"}) {
        CheckSeen quiet = Start(argument);
        ASSERT_TRUE(quiet.exitCode.has_value()) << argument;
        EXPECT_EQ(0u, *quiet.exitCode);
        EXPECT_TRUE(quiet.boxes.empty()) << argument;
    }
    // The error page was not saved over the stale copy.
    EXPECT_EQ((std::vector<std::string>{"[VERSION]", "total=9", "ver=9", "build=19.0.0.4",
                                        "date=2019-06-18"}),
              ReadLines(m_folder / "upt.cfg"));
}

TEST_F(VersionCheckNet, FetchGoesToTheFixedDescriptorAddressAndIsSavedBesideTheProgram)
{
    m_folder.WriteFile("config.ini", LocalConfig("1", "1"));
    std::string descriptor = Descriptor("2", "2");
    Publish(descriptor);
    Start("/check");
    ASSERT_EQ(1u, m_server.Requests().size());
    EXPECT_EQ(0u, m_server.Requests()[0].find("GET /soft/zevi/upt.htm HTTP/1.1\r\n"));
    EXPECT_STREQ((m_folder / "upt.cfg").c_str(), g_szDescriptorPath);
    EXPECT_STREQ((m_folder / "config.ini").c_str(), g_szConfigPath);
    EXPECT_STREQ(m_folder.Path().c_str(), g_szAppDir);
}

// A shown dialog would keep the process running: ending by itself with 0 and
// no message box is what "nothing shown" means to the user.
TEST(CheckNet, QuietChecksWithoutNewsOrWithAFailedFetchEndByThemselves)
{
    InstallFolder folder("check-quiet");
    std::string exe = folder.CopyProgram("Updater.exe", "Updater.exe");
    folder.WriteFile("config.ini", LocalConfig("3", "2"));
    HttpTestServer server(UPDATER_TEST_PORT);
    server.Serve(kDescriptorTarget, HttpResponse::Bytes(Descriptor("4", "2")));
    for (bool fetchFails : {false, true}) {
        if (fetchFails)
            server.Serve(kDescriptorTarget, HttpResponse::Status(404, "Not Found", "<html/>"));
        TestProcess updater(exe, "\"" + exe + "\" /query");
        ASSERT_TRUE(updater.Started());
        std::vector<MessageBoxSeen> boxes;
        EXPECT_TRUE(updater.AnswerMessageBoxesUntilExit("Updater", &boxes)) << fetchFails;
        EXPECT_TRUE(boxes.empty()) << fetchFails;
        EXPECT_EQ(0u, updater.ExitCode()) << fetchFails;
    }
    EXPECT_EQ(2u, server.Requests().size());
}

TEST(CheckNet, AUserStartingAnInteractiveCheckSeesTheReport)
{
    InstallFolder folder("check-process");
    std::string exe = folder.CopyProgram("Updater.exe", "Updater.exe");
    folder.WriteFile("config.ini", LocalConfig("1", "1"));
    HttpTestServer server(UPDATER_TEST_PORT);
    server.Serve(kDescriptorTarget,
                 HttpResponse::Bytes(Descriptor("2", "2", "[CONTENT]\r\nline1=新课程\r\n")));

    TestProcess updater(exe, "\"" + exe + "\" /check");
    ASSERT_TRUE(updater.Started());
    HWND hDlg = updater.WaitForDialog("Updater", IDC_EDIT_INFO);
    ASSERT_NE(nullptr, hDlg);
    EXPECT_EQ(kHead + "\r\n新课程", DlgItemText(hDlg, IDC_EDIT_INFO));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hDlg, IDC_BTN_UPGRADE)));
    EXPECT_TRUE(GetWindowLongA(hDlg, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ASSERT_TRUE(PressButton(hDlg, IDOK));
    ASSERT_TRUE(updater.WaitForExit());
    EXPECT_EQ(0u, updater.ExitCode());
}
