// Updater.exe run as a separate process against an update server that
// misbehaves, first while the descriptor is fetched, then while the package
// is. In every row the program ends or waits for the user, tells a failure
// only by its fixed texts, runs nothing incomplete, and writes no file of
// its install folder but upt.cfg and the package.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Resource.h"
#include "tests/support/DialogHost.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/TempDir.h"
#include "tests/support/UserSession.h"

namespace {

using Texts = std::vector<std::string>;

const char kDescriptorTarget[] = "/soft/zevi/upt.htm";
const char kPackageTarget[] = "/pkg/setup.exe";
const Texts kFetchFailed = {"下载失败!", "版本检查失败！"};
const Texts kReadFailed = {"读文件出错!", "下载失败!", "版本检查失败！"};
const std::string kReport =
    "最新版本：V2.0\r\n发布日期：2024-02-02\r\n目前版本：1.0\r\n版本日期：2023-01-01\r\n"
    "升级内容：\r\n修正错误\r\n最后一行";

// The descriptor with the given line end; lastLine closes the file, with or
// without a final line end.
std::string Descriptor(const std::string& packageUrl, const std::string& nl = "\r\n",
                       bool finalNewline = true)
{
    return "[VERSION]" + nl + "total=2" + nl + "ver=2" + nl + "build=2.0" + nl + "date=2024-02-02" + nl +
           "[ADDRESS]" + nl + "url=" + packageUrl + nl + "file=setup.exe" + nl + "[CONTENT]" + nl +
           "line1=修正错误" + nl + "line2=最后一行" + (finalNewline ? nl : "");
}

std::string Padded(std::string text, size_t length)
{
    std::string line = ";" + std::string(70, '#') + "\r\n";
    while (text.size() < length)
        text += line;
    return text;
}

HttpResponse CutAfter(HttpResponse r, BodyCut cut, uint64_t after)
{
    r.cut = cut;
    r.cutAfter = after;
    return r;
}

HttpResponse RedirectTo(const std::string& location)
{
    HttpResponse r = HttpResponse::Status(302, "Found", "");
    r.extraHeaders.push_back("Location: " + location);
    return r;
}

// Announces only the first `announced` bytes of a longer body.
HttpResponse LongerThanAnnounced(const std::string& body, size_t announced)
{
    HttpResponse r = HttpResponse::Bytes(body);
    r.announcedLength = static_cast<int64_t>(announced);
    return r;
}

// A loopback port on which nothing listens.
unsigned short ClosedPort()
{
    HttpTestServer gone;
    return gone.Port();
}

class ServerFaultsNet : public testing::Test {
protected:
    ServerFaultsNet() : m_folder("server-faults")
    {
        m_updater = m_folder.CopyProgram("Updater.exe", "Updater.exe");
        m_folder.WriteFile("config.ini",
                           "[OPTION]\r\ntotal=1\r\nver=1\r\nbuild=1.0\r\ndate=2023-01-01\r\n");
        m_package = ReadFileBytes(TestBinDir() + "RecordRun.exe") + std::string(300 * 1024, 'p');
        m_before = SnapshotFolder(m_folder.Path());
    }

    HttpTestServer& Server()
    {
        if (!m_server)
            m_server.emplace(UPDATER_TEST_PORT);
        return *m_server;
    }

    std::string PackageUrl() { return Server().Url(kPackageTarget); }

    std::unique_ptr<TestProcess> StartCheck()
    {
        auto updater = std::make_unique<TestProcess>(m_updater, "\"" + m_updater + "\" /check");
        EXPECT_TRUE(updater->Started());
        return updater;
    }

    // Closes the dialog as the user would and expects a clean end, with no
    // box left unseen.
    void CloseAndExpectCleanEnd(const TestProcess& updater, HWND hDlg)
    {
        ASSERT_TRUE(PressButton(hDlg, IDOK));
        std::vector<MessageBoxSeen> late;
        EXPECT_TRUE(updater.AnswerMessageBoxesUntilExit("Updater", &late));
        EXPECT_TRUE(late.empty()) << "a box came after the dialog was closed: " << late[0].text;
        EXPECT_EQ(0u, updater.ExitCode());
    }

    // Only the program's own files may have changed.
    void ExpectOnlyOwnFilesTouched()
    {
        for (const std::string& name : FilesTouched(m_before, SnapshotFolder(m_folder.Path())))
            EXPECT_TRUE(name == "upt.cfg" || name == "setup.exe" || name == "setup.exe.ran") << name;
    }

    bool PackageRan() const { return FileExists(m_folder / "setup.exe.ran"); }

    InstallFolder m_folder;
    std::optional<HttpTestServer> m_server;
    std::string m_updater;
    std::string m_package;
    FolderSnapshot m_before;
};

struct DescriptorFault {
    const char* name;
    std::optional<HttpResponse> response;  // none: nothing listens on the port
    Texts boxes;
};

struct DescriptorReading {
    const char* name;
    std::string body;
    std::string report;  // as the dialog shows it
    bool upgradeEnabled;
};

}  // namespace

// A descriptor that does not arrive whole is a failed check: the user sees
// the fixed texts and an empty dialog, and a stale upt.cfg is not acted on.
TEST_F(ServerFaultsNet, ADescriptorThatDoesNotArriveWholeIsAFailedCheck)
{
    const std::string descriptor = Descriptor("http://127.0.0.1:1/x");
    const std::string large = Padded(descriptor, 200 * 1024);
    const DescriptorFault rows[] = {
        {"refuses the connection", std::nullopt, kFetchFailed},
        {"accepts and never answers", HttpResponse::Silent(), kFetchFailed},
        {"headers, then stalls mid-body", CutAfter(HttpResponse::Bytes(large), BodyCut::Stall, 100 * 1024),
         kFetchFailed},
        {"resets mid-body", CutAfter(HttpResponse::Bytes(large), BodyCut::Reset, 100 * 1024), kReadFailed},
        {"closes short of its length", CutAfter(HttpResponse::Bytes(large), BodyCut::Close, 100 * 1024),
         kReadFailed},
        {"redirects to itself", RedirectTo(kDescriptorTarget), kFetchFailed},
        {"redirects in a ring", RedirectTo("/a"), kFetchFailed},
    };
    for (const DescriptorFault& row : rows) {
        SCOPED_TRACE(row.name);
        m_server.reset();
        if (row.response) {
            Server().Serve(kDescriptorTarget, *row.response);
            Server().Serve("/a", RedirectTo("/b"));
            Server().Serve("/b", RedirectTo(kDescriptorTarget));
        }
        m_folder.WriteFile("upt.cfg", descriptor);  // stale, and newer than installed
        auto updater = StartCheck();
        StartSeen seen = WatchStart(*updater);
        ASSERT_FALSE(seen.timedOut);
        ASSERT_NE(nullptr, seen.hDlg) << "the interactive check keeps its dialog";
        EXPECT_EQ(row.boxes, seen.boxes);
        EXPECT_EQ("", seen.report);
        EXPECT_FALSE(seen.upgradeEnabled);
        CloseAndExpectCleanEnd(*updater, seen.hDlg);
    }
    ExpectOnlyOwnFilesTouched();
}

// The platform's INI reader decides what an odd descriptor means; the
// dialog shows that reading, with no box and no crash.
TEST_F(ServerFaultsNet, AnOddDescriptorIsReadAsThePlatformReadsIt)
{
    const std::string url = PackageUrl();
    const std::string descriptor = Descriptor(url);
    std::string garbage(10 << 20, '\0');
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>(HttpTestServer::PatternByte(i));
    const std::string upToDate = "当前使用版本已经是最新版本，无需升级！";
    // Wine's reader takes a UTF-8 byte-order mark as the file's encoding and
    // hands the values over in code page 936.
    const std::string utf8 = u8"[VERSION]\r\ntotal=2\r\nver=2\r\nbuild=2.0\r\ndate=2024-02-02\r\n"
                             u8"[CONTENT]\r\nline1=修正错误\r\nline2=最后一行\r\n";
    const DescriptorReading rows[] = {
        {"10 MiB, the sections first", Padded(descriptor, 10 << 20), kReport, true},
        {"10 MiB of binary garbage", garbage, upToDate, false},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF" + utf8, kReport, true},
        {"LF-only lines", Descriptor(url, "\n"), kReport, true},
        {"no final newline", Descriptor(url, "\r\n", false), kReport, true},
    };
    for (const DescriptorReading& row : rows) {
        SCOPED_TRACE(row.name);
        Server().Serve(kDescriptorTarget, HttpResponse::Bytes(row.body));
        auto updater = StartCheck();
        StartSeen seen = WatchStart(*updater);
        ASSERT_FALSE(seen.timedOut);
        ASSERT_NE(nullptr, seen.hDlg);
        EXPECT_EQ(Texts{}, seen.boxes);
        EXPECT_EQ(row.report, seen.report);
        EXPECT_EQ(row.upgradeEnabled, seen.upgradeEnabled);
        EXPECT_EQ(row.body, ReadFileBytes(m_folder / "upt.cfg"));
        CloseAndExpectCleanEnd(*updater, seen.hDlg);
    }
    ExpectOnlyOwnFilesTouched();
}

// Bytes past the announced length are not part of the descriptor.
// Disabled: intermittent in a fresh prefix (the 3 s bound expires while the
// body is read); under investigation.
TEST_F(ServerFaultsNet, DISABLED_BytesPastTheAnnouncedLengthAreNotPartOfTheDescriptor)
{
    const std::string descriptor = Descriptor(PackageUrl());
    Server().Serve(kDescriptorTarget, LongerThanAnnounced(descriptor + "line3=junk\r\n", descriptor.size()));
    auto updater = StartCheck();
    StartSeen seen = WatchStart(*updater);
    ASSERT_NE(nullptr, seen.hDlg);
    EXPECT_EQ(Texts{}, seen.boxes);
    EXPECT_EQ(kReport, seen.report);
    EXPECT_EQ(descriptor, ReadFileBytes(m_folder / "upt.cfg"));
    CloseAndExpectCleanEnd(*updater, seen.hDlg);
}

// A package that does not arrive whole is told, leaves both buttons
// disabled and is never run.
TEST_F(ServerFaultsNet, APackageThatDoesNotArriveWholeIsToldAndNeverRun)
{
    struct PackageFault {
        const char* name;
        HttpResponse response;
        std::string url;  // empty: the package target of the test server
        Texts boxes;
    } rows[] = {
        {"refuses the connection", {}, "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/setup.exe",
         {"下载失败!"}},
        {"accepts and never answers", HttpResponse::Silent(), "", {"下载失败!"}},
        {"headers, then stalls mid-body", CutAfter(HttpResponse::Bytes(m_package), BodyCut::Stall, 100 * 1024),
         "", {"下载失败!"}},
        {"resets mid-body", CutAfter(HttpResponse::Bytes(m_package), BodyCut::Reset, 100 * 1024), "",
         {"读文件出错!", "下载失败!"}},
        {"redirects to itself", RedirectTo(kPackageTarget), "", {"下载失败!"}},
    };
    for (const PackageFault& row : rows) {
        SCOPED_TRACE(row.name);
        std::string url = row.url.empty() ? PackageUrl() : row.url;
        Server().Serve(kDescriptorTarget, HttpResponse::Bytes(Descriptor(url)));
        Server().Serve(kPackageTarget, row.response);
        auto updater = StartCheck();
        StartSeen seen = WatchStart(*updater);
        ASSERT_NE(nullptr, seen.hDlg);
        ASSERT_TRUE(PressButton(seen.hDlg, IDC_BTN_UPGRADE));
        Texts boxes;
        for (size_t i = 0; i < row.boxes.size(); ++i)
            boxes.push_back(updater->AnswerMessageBox("Updater").text);
        EXPECT_EQ(row.boxes, boxes);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(seen.hDlg, IDC_BTN_UPGRADE)));
        EXPECT_NE("100%", DlgItemText(seen.hDlg, IDC_STATIC_PERCENT));
        CloseAndExpectCleanEnd(*updater, seen.hDlg);
        EXPECT_FALSE(PackageRan());
    }
    ExpectOnlyOwnFilesTouched();
}

// Bytes past the announced length are not part of the package: what was
// announced arrives whole and runs.
TEST_F(ServerFaultsNet, BytesPastTheAnnouncedLengthAreNotPartOfThePackage)
{
    Server().Serve(kDescriptorTarget, HttpResponse::Bytes(Descriptor(PackageUrl())));
    Server().Serve(kPackageTarget, LongerThanAnnounced(m_package + std::string(50000, 'x'), m_package.size()));
    auto updater = StartCheck();
    StartSeen seen = WatchStart(*updater);
    ASSERT_NE(nullptr, seen.hDlg);
    ASSERT_TRUE(PressButton(seen.hDlg, IDC_BTN_UPGRADE));
    std::vector<MessageBoxSeen> boxes;
    ASSERT_TRUE(updater->AnswerMessageBoxesUntilExit("Updater", &boxes));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(0u, updater->ExitCode());
    EXPECT_TRUE(WaitUntil([&] { return PackageRan(); }));
    EXPECT_EQ(m_package, ReadFileBytes(m_folder / "setup.exe"));
    ExpectOnlyOwnFilesTouched();
}
