// The program with a publisher key built in, hosted in-process against the
// loopback update server: a signed update runs; a descriptor that is not
// the publisher's, or that changes after the check, and a download that
// does not match its pin fail closed, each with its messages.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/UpdaterDlg.h"
#include "download/ProgressReport.h"
#include "framework/Process.h"
#include "tests/signed/TestSigner.h"
#include "tests/support/DialogHost.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/Seams.h"
#include "tests/support/TempDir.h"

namespace {

const char kDescriptorTarget[] = "/soft/zevi/upt.htm";
const char kSignatureTarget[] = "/soft/zevi/upt.htm.sig";
const char kPackageTarget[] = "/pkg/setup.exe";
const char kExtraTarget[] = "/extra/articles.txt";
const char kForged[] = "升级信息签名无效!";
const char kPinFailed[] = "升级文件校验失败!";
const char kDownloadFailed[] = "下载失败!";
const char kCheckFailed[] = "版本检查失败！";
const std::string kExtraBytes = "lesson text";

using Boxes = std::vector<std::string>;

// What one start in check mode left behind.
struct RunSeen {
    bool shown = false;
    std::string report;
    bool extraVisible = false;
    std::optional<UINT> exitCode;  // set when the process would have ended
    Boxes boxes;
};

class SignedUpdateNet : public testing::Test {
protected:
    SignedUpdateNet()
        : m_folder("signed"), m_server(UPDATER_TEST_PORT), m_publisher(TestSigner::Publisher()),
          m_package(ReadFileBytes(TestBinDir() + "RecordRun.exe"))
    {
        m_folder.WriteFile("config.ini", "[OPTION]\r\ntotal=1\r\nver=1\r\n");
        m_server.Serve(kPackageTarget, HttpResponse::Bytes(m_package));
        m_server.Serve(kExtraTarget, HttpResponse::Bytes(kExtraBytes));
    }

    // A newer version with the package and an extra file, each with the
    // given sha256 line (empty: none).
    std::string Descriptor(const std::string& packagePin, const std::string& extraPin = "") const
    {
        return "[VERSION]\r\ntotal=2\r\nver=2\r\nbuild=2.0\r\ndate=d\r\n"
               "[ADDRESS]\r\nurl=" + m_server.Url(kPackageTarget) + "\r\nfile=setup.exe\r\n" + packagePin +
               "\r\n[ADDITIONAL]\r\nvisible=1\r\ncaption=extra\r\ntarget=file\r\nurl=" +
               m_server.Url(kExtraTarget) + "\r\nfile=articles.txt\r\nmsg=done\r\n" + extraPin + "\r\n";
    }
    std::string PinnedDescriptor() const
    {
        return Descriptor(Sha256Line(m_package), Sha256Line(kExtraBytes));
    }

    void Publish(const std::string& descriptor, const HttpResponse& signature)
    {
        m_server.Serve(kDescriptorTarget, HttpResponse::Bytes(descriptor));
        m_server.Serve(kSignatureTarget, signature);
    }
    void PublishSigned(const std::string& descriptor)
    {
        Publish(descriptor, HttpResponse::Bytes(m_publisher.Sign(descriptor)));
    }

    // Starts the dialog with argument; driver acts on it once it is shown.
    RunSeen Run(const std::string& argument, const std::function<void(HWND)>& driver = nullptr)
    {
        std::string exe = m_folder / "Updater.exe";
        ScopedSeams seams("\"" + exe + "\" " + argument, exe);
        // Bare extra-file names land in the current folder: the test's own.
        char oldDir[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, oldDir);
        SetCurrentDirectoryA(m_folder.Path().c_str());
        RunSeen seen;
        CUpdaterDlg dlg;
        try {
            RunHostedDialog(dlg, [&](HWND hDlg) {
                seen.shown = true;
                seen.report = DlgItemText(hDlg, IDC_EDIT_INFO);
                seen.extraVisible = IsWindowVisible(GetDlgItem(hDlg, IDC_BTN_EXTRA));
                if (driver)
                    driver(hDlg);
            });
        } catch (const CProcessExit& exit) {
            seen.exitCode = exit.nExitCode;
        }
        SetCurrentDirectoryA(oldDir);
        seen.boxes = ScopedSeams::MessageBoxes();
        return seen;
    }

    size_t RequestsFor(const std::string& target) const
    {
        size_t n = 0;
        for (const std::string& request : m_server.Requests())
            n += request.compare(0, 4 + target.size() + 1, "GET " + target + " ") == 0;
        return n;
    }

    InstallFolder m_folder;
    HttpTestServer m_server;
    TestSigner m_publisher;
    std::string m_package;
};

// Posts one report as the download routine does, and waits until the
// dialog has handled and freed it.
bool SendReport(HWND hDlg, int percent)
{
    return PostFinalReport(hDlg, "1.0 KB/秒", percent) && WaitUntil([] { return ProgressReportsInFlight() == 0; });
}

}  // namespace

TEST_F(SignedUpdateNet, ASignedUpdateIsVerifiedDownloadedAndRun)
{
    const std::string descriptor = PinnedDescriptor();
    PublishSigned(descriptor);
    RunSeen seen = Run("/check", [&](HWND hDlg) {
        ASSERT_TRUE(Click(hDlg, IDC_BTN_UPGRADE));
        WaitUntil([&] { return !IsWindow(hDlg); }, 60000);
    });
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(0u, seen.report.find("最新版本：V2.0"));
    ASSERT_TRUE(seen.exitCode.has_value());
    EXPECT_EQ(0u, *seen.exitCode);
    EXPECT_TRUE(seen.boxes.empty());
    EXPECT_EQ(descriptor, ReadFileBytes(m_folder / "upt.cfg"));
    EXPECT_FALSE(FileExists(m_folder / "upt.cfg.new"));
    EXPECT_EQ(1u, RequestsFor(kSignatureTarget));
    EXPECT_EQ(m_package, ReadFileBytes(m_folder / "setup.exe"));
    EXPECT_TRUE(WaitUntil([&] { return FileExists(m_folder / "setup.exe.ran"); }));
}

TEST_F(SignedUpdateNet, ADescriptorThatIsNotThePublishersIsNeverActedOn)
{
    const std::string descriptor = PinnedDescriptor();
    std::string changed = descriptor;
    changed[changed.find("total=2") + 6] = '3';
    const std::string signature = m_publisher.Sign(descriptor);
    struct {
        const char* what;
        std::string served;
        HttpResponse signature;
    } cases[] = {
        {"a changed byte", changed, HttpResponse::Bytes(signature)},
        {"no signature", descriptor, HttpResponse::Status(404, "Not Found", "<html>none</html>")},
        {"another key", descriptor, HttpResponse::Bytes(TestSigner::Stranger().Sign(descriptor))},
        {"a truncated signature", descriptor, HttpResponse::Bytes(signature.substr(0, 63))},
        {"a byte too many", descriptor, HttpResponse::Bytes(signature + '\0')},
        {"an empty signature", descriptor, HttpResponse::Bytes("")},
    };
    // An older copy on disk that a failed check must leave alone and unused.
    const std::string stale = Descriptor("");
    m_folder.WriteFile("upt.cfg", stale);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Publish(c.served, c.signature);

        RunSeen interactive = Run("/check");
        ASSERT_TRUE(interactive.shown);
        EXPECT_EQ((Boxes{kForged, kCheckFailed}), interactive.boxes);
        EXPECT_EQ("", interactive.report);
        EXPECT_FALSE(interactive.extraVisible);
        for (const char* argument : {"/query", "/other"}) {
            RunSeen quiet = Run(argument);
            EXPECT_EQ(std::optional<UINT>(0), quiet.exitCode) << argument;
            EXPECT_TRUE(quiet.boxes.empty()) << argument;
        }
        EXPECT_EQ(stale, ReadFileBytes(m_folder / "upt.cfg"));
        EXPECT_FALSE(FileExists(m_folder / "upt.cfg.new"));
    }
    EXPECT_EQ(0u, RequestsFor(kPackageTarget));
    EXPECT_EQ(0u, RequestsFor(kExtraTarget));
}

TEST_F(SignedUpdateNet, ADescriptorChangedAfterTheCheckStopsEachButton)
{
    const std::string descriptor = PinnedDescriptor();
    PublishSigned(descriptor);
    std::string changed = descriptor;
    changed.replace(changed.find("file=setup.exe"), 14, "file=other.exe");
    for (int button : {IDC_BTN_UPGRADE, IDC_BTN_EXTRA}) {
        SCOPED_TRACE(button);
        RunSeen seen = Run("/check", [&](HWND hDlg) {
            WriteFileBytes(m_folder / "upt.cfg", changed);
            ASSERT_TRUE(Click(hDlg, button));
            // Nothing else: both buttons as the check left them.
            EXPECT_TRUE(IsEnabled(hDlg, IDC_BTN_UPGRADE));
            EXPECT_TRUE(IsEnabled(hDlg, IDC_BTN_EXTRA));
        });
        EXPECT_EQ(Boxes{kForged}, seen.boxes);
        EXPECT_FALSE(seen.exitCode.has_value());
    }
    EXPECT_EQ(0u, RequestsFor(kPackageTarget));
    EXPECT_EQ(0u, RequestsFor(kExtraTarget));
    EXPECT_FALSE(FileExists(m_folder / "other.exe"));
    EXPECT_FALSE(FileExists(m_folder / "articles.txt"));
}

TEST_F(SignedUpdateNet, ADescriptorChangedBeforeTheExtraCompletionShowsNoMessageOfIt)
{
    // A target other than "file" and no address: the click only selects the
    // extra kind, and the test posts the completing report itself.
    const std::string descriptor = "[VERSION]\r\ntotal=2\r\n[ADDITIONAL]\r\nvisible=1\r\ntarget=page\r\nmsg=done\r\n";
    PublishSigned(descriptor);
    std::string changed = descriptor;
    changed.replace(changed.find("msg=done"), 8, "msg=evil");
    for (bool tampered : {false, true}) {
        SCOPED_TRACE(tampered ? "changed" : "intact");
        RunSeen seen = Run("/check", [&](HWND hDlg) {
            ASSERT_TRUE(Click(hDlg, IDC_BTN_EXTRA));
            if (tampered)
                WriteFileBytes(m_folder / "upt.cfg", changed);
            ASSERT_TRUE(SendReport(hDlg, 100));
            ASSERT_TRUE(ScopedSeams::WaitForMessageBoxes(1));
        });
        EXPECT_EQ(Boxes{tampered ? kForged : "done"}, seen.boxes);
    }
}

TEST_F(SignedUpdateNet, ADownloadThatDoesNotMatchItsPinIsDeletedAndNeverRun)
{
    std::string changedByte = m_package;
    changedByte[changedByte.size() / 2] ^= 0x01;
    HttpResponse truncated = HttpResponse::Bytes(m_package.substr(0, m_package.size() / 2));
    truncated.framing = BodyFraming::CloseDelimited;  // no length: the cut cannot show otherwise
    struct {
        const char* what;
        std::string pin;
        HttpResponse served;
        bool downloads;  // false: refused before any request
    } cases[] = {
        {"a changed package byte", Sha256Line(m_package), HttpResponse::Bytes(changedByte), true},
        {"a truncated package", Sha256Line(m_package), truncated, true},
        {"the pin of other bytes", Sha256Line("other"), HttpResponse::Bytes(m_package), true},
        {"no pin", "", HttpResponse::Bytes(m_package), false},
        {"a pin one digit short", Sha256Line(m_package).substr(0, 70), HttpResponse::Bytes(m_package), false},
        {"a pin one digit over", Sha256Line(m_package) + "0", HttpResponse::Bytes(m_package), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_server.Serve(kPackageTarget, c.served);
        PublishSigned(Descriptor(c.pin));
        size_t requestsBefore = RequestsFor(kPackageTarget);
        RunSeen seen = Run("/check", [&](HWND hDlg) {
            ASSERT_TRUE(Click(hDlg, IDC_BTN_UPGRADE));
            ASSERT_TRUE(ScopedSeams::WaitForMessageBoxes(2));
            EXPECT_NE("100%", DlgItemText(hDlg, IDC_STATIC_PERCENT));
            EXPECT_FALSE(IsEnabled(hDlg, IDC_BTN_UPGRADE));
        });
        EXPECT_EQ((Boxes{kPinFailed, kDownloadFailed}), seen.boxes);
        EXPECT_FALSE(seen.exitCode.has_value());
        EXPECT_EQ(c.downloads ? 1u : 0u, RequestsFor(kPackageTarget) - requestsBefore);
        EXPECT_FALSE(FileExists(m_folder / "setup.exe"));
    }
    EXPECT_FALSE(FileExists(m_folder / "setup.exe.ran"));
}

TEST_F(SignedUpdateNet, TheExtraFileIsPinnedToo)
{
    struct {
        const char* what;
        std::string pin;
        Boxes boxes;
        bool kept;
    } cases[] = {
        {"its pin", Sha256Line(kExtraBytes), {"done"}, true},
        {"another pin", Sha256Line("other"), {kPinFailed, kDownloadFailed}, false},
        {"no pin", "", {kPinFailed, kDownloadFailed}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PublishSigned(Descriptor(Sha256Line(m_package), c.pin));
        RunSeen seen = Run("/check", [&](HWND hDlg) {
            ASSERT_TRUE(Click(hDlg, IDC_BTN_EXTRA));
            ASSERT_TRUE(ScopedSeams::WaitForMessageBoxes(c.boxes.size()));
        });
        EXPECT_EQ(c.boxes, seen.boxes);
        EXPECT_EQ(c.kept, FileExists(m_folder / "articles.txt"));
        DeleteFileA((m_folder / "articles.txt").c_str());
    }
}
