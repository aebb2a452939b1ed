// Updater.exe started without an argument, as the desktop shortcut starts
// it: it brings the main program forward or starts it, and reports a
// missing file in a real message box. Every run ends by itself with status
// 0 and never shows the dialog (a shown dialog would keep it running).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/Resource.h"
#include "tests/support/DialogHost.h"
#include "tests/support/ProcessDriver.h"

namespace {

constexpr char kClass[] = "ThunderRT6FormDC";
constexpr char kTitle[] = "Quillorn2019";

std::string NotFound(const std::string& path, int error)
{
    return "未找到" + path + "！错误号:" + std::to_string(error);
}

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class LauncherDesktop : public testing::Test {
protected:
    void TearDown() override
    {
        // Main programs that the updater started: the test cannot reach them
        // otherwise, and their window would mislead the next test.
        KillWindowOwnersIn(kClass, kTitle, m_folder.Path());
    }

    // Runs the launcher, answers its message boxes and returns them.
    std::vector<MessageBoxSeen> RunLauncher()
    {
        TestProcess updater(m_updater, "\"" + m_updater + "\"");
        EXPECT_TRUE(updater.Started());
        std::vector<MessageBoxSeen> boxes;
        EXPECT_TRUE(updater.AnswerMessageBoxesUntilExit("Updater", &boxes))
            << "still running: the dialog was shown, or a box was not answered";
        EXPECT_EQ(0u, updater.ExitCode());
        return boxes;
    }

    static std::vector<std::string> TextsOf(const std::vector<MessageBoxSeen>& boxes)
    {
        std::vector<std::string> texts;
        for (const MessageBoxSeen& box : boxes)
            texts.push_back(box.text);
        return texts;
    }

    // Waits until the stand-in at relativeExe has started and shows its
    // window; false if it never does.
    bool MainProgramStarted(const std::string& relativeExe) const
    {
        std::string record = m_folder / relativeExe;
        record = record.substr(0, record.size() - std::string("Zevi.exe").size()) + "Zevi.log";
        return WaitUntil([&] {
            std::vector<std::string> lines = ReadLines(record);
            return !lines.empty() && lines[0].find("Zevi.exe") != std::string::npos &&
                   FindWindowA(kClass, kTitle) != nullptr;
        });
    }

    InstallFolder m_folder{"launcher"};
    std::string m_updater = m_folder.CopyProgram("Updater.exe", "Updater.exe");
};

TEST_F(LauncherDesktop, MissingConfigIsReportedInARealMessageBoxOwnedByTheHiddenDialog)
{
    TestProcess updater(m_updater, "\"" + m_updater + "\"");
    HWND hBox = updater.WaitForMessageBox("Updater");
    ASSERT_NE(nullptr, hBox);
    EXPECT_EQ(NotFound(m_folder / "config.ini", ERROR_FILE_NOT_FOUND),
              WindowText(GetDlgItem(hBox, 0xFFFF)));
    EXPECT_NE(nullptr, GetDlgItem(hBox, IDOK));

    HWND hOwner = GetWindow(hBox, GW_OWNER);
    ASSERT_NE(nullptr, hOwner);
    DWORD ownerProcess = 0;
    GetWindowThreadProcessId(hOwner, &ownerProcess);
    EXPECT_EQ(updater.Id(), ownerProcess);
    EXPECT_NE(nullptr, GetDlgItem(hOwner, IDC_EDIT_INFO)) << "owner is not the main dialog";
    EXPECT_FALSE(IsWindowVisible(hOwner));

    EXPECT_TRUE(PressButton(hBox, IDOK));
    ASSERT_TRUE(updater.WaitForExit());
    EXPECT_EQ(0u, updater.ExitCode());
}

struct MissingFileCase {
    const char* name;
    const char* config;        // null: no config.ini
    const char* folderToMake;  // null: none
    const char* reportedPath;  // relative to the install folder
    int error;
};

TEST_F(LauncherDesktop, AMissingFileIsReportedWithItsPathAndErrorCode)
{
    const MissingFileCase cases[] = {
        {"no config.ini", nullptr, nullptr, "config.ini", ERROR_FILE_NOT_FOUND},
        {"no Zevi.exe", "[OPTION]\r\nfolder=Zevi\r\n", "Zevi", "Zevi\\Zevi.exe", ERROR_FILE_NOT_FOUND},
        {"no folder", "[OPTION]\r\nfolder=Zevi\r\n", nullptr, "Zevi\\Zevi.exe", ERROR_PATH_NOT_FOUND},
    };
    for (const MissingFileCase& c : cases) {
        SCOPED_TRACE(c.name);
        InstallFolder folder("missing");
        m_updater = folder.CopyProgram("Updater.exe", "Updater.exe");
        if (c.config != nullptr)
            folder.WriteFile("config.ini", c.config);
        if (c.folderToMake != nullptr)
            folder.MakeFolder(c.folderToMake);
        std::vector<MessageBoxSeen> boxes = RunLauncher();
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ("Updater", boxes[0].caption);
        EXPECT_EQ(NotFound(folder / c.reportedPath, c.error), boxes[0].text);
    }
}

struct StartCase {
    const char* name;
    std::string config;
    const char* zeviAt;  // relative to the install folder
};

TEST_F(LauncherDesktop, StartsZeviFromTheConfiguredFolder)
{
    const std::string name39 = "F23456789012345678901234567890123456789";
    const StartCase cases[] = {
        {"folder Zevi", "[OPTION]\r\nfolder=Zevi\r\n", "Zevi\\Zevi.exe"},
        // dir + "\" + "" + "\Zevi.exe": two backslashes, which the search accepts.
        {"folder empty", "[OPTION]\r\nfolder=\r\n", "Zevi.exe"},
        {"folder key missing", "[OPTION]\r\nver=1\r\n", "Zevi.exe"},
        {"folder cut to 39 bytes", "[OPTION]\r\nfolder=" + name39 + "XYZ\r\n",
         "F23456789012345678901234567890123456789\\Zevi.exe"},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_folder.WriteFile("config.ini", c.config);
        std::string zevi = m_folder.CopyProgram("Zevi.exe", c.zeviAt);
        EXPECT_EQ(std::vector<std::string>{}, TextsOf(RunLauncher()));
        EXPECT_TRUE(MainProgramStarted(c.zeviAt));
        KillWindowOwnersIn(kClass, kTitle, m_folder.Path());
        DeleteFileA(zevi.c_str());
    }
}

TEST_F(LauncherDesktop, AnOlderMainProgramWindowIsNotBroughtForward)
{
    // Minimized, so that bringing it forward would show: other tests' windows
    // may hand it the foreground, but nothing restores it by chance.
    std::string oldExe = m_folder.CopyProgram("Zevi.exe", "Old\\Zevi.exe");
    std::string oldRecord = m_folder / "old.log";
    TestProcess old(oldExe, "\"" + oldExe + "\" Quillorn2016 \"" + oldRecord + "\" min");
    HWND hOld = old.WaitForWindow(kClass, "Quillorn2016");
    ASSERT_NE(nullptr, hOld);
    ASSERT_TRUE(WaitUntil([&] { return Contains(ReadLines(oldRecord), "state min"); }));
    m_folder.WriteFile("config.ini", "[OPTION]\r\nfolder=Zevi\r\n");
    m_folder.CopyProgram("Zevi.exe", "Zevi\\Zevi.exe");

    EXPECT_EQ(std::vector<std::string>{}, TextsOf(RunLauncher()));
    EXPECT_TRUE(MainProgramStarted("Zevi\\Zevi.exe"));
    EXPECT_TRUE(IsIconic(hOld));
    EXPECT_FALSE(Contains(ReadLines(oldRecord), "state normal"));
}

struct BringForwardCase {
    const char* mode;
    bool installed;  // config.ini and Zevi.exe in place
};

TEST_F(LauncherDesktop, AMinimizedOrMaximizedMainProgramIsRestoredAndNothingStarted)
{
    const BringForwardCase cases[] = {{"min", true}, {"max", false}, {"min", false}};
    for (const BringForwardCase& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + (c.installed ? ", installed" : ", no config.ini"));
        InstallFolder folder("forward");
        m_updater = folder.CopyProgram("Updater.exe", "Updater.exe");
        if (c.installed) {
            folder.WriteFile("config.ini", "[OPTION]\r\nfolder=Zevi\r\n");
            folder.CopyProgram("Zevi.exe", "Zevi\\Zevi.exe");
        }
        std::string mainExe = folder.CopyProgram("Zevi.exe", "Running\\Zevi.exe");
        std::string record = folder / "running.log";
        TestProcess running(mainExe, "\"" + mainExe + "\" Quillorn2019 \"" + record + "\" " + c.mode);
        HWND hMain = running.WaitForWindow(kClass, kTitle);
        ASSERT_NE(nullptr, hMain);
        ASSERT_TRUE(IsIconic(hMain) || IsZoomed(hMain));
        const std::string startState = std::string("state ") + c.mode;
        ASSERT_TRUE(WaitUntil([&] { return Contains(ReadLines(record), startState); }));
        // Another program in front, so that bringing forward shows.
        std::string otherTitle = "Other-" + std::to_string(GetCurrentProcessId());
        TestProcess other(mainExe, "\"" + mainExe + "\" " + otherTitle + " \"" +
                                       (folder / "other.log") + "\" normal");
        ASSERT_NE(nullptr, other.WaitForWindow(kClass, otherTitle.c_str()));
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() != hMain; }));
        size_t recordedBefore = ReadLines(record).size();

        EXPECT_EQ(std::vector<std::string>{}, TextsOf(RunLauncher()));
        EXPECT_TRUE(WaitUntil([&] { return !IsIconic(hMain) && !IsZoomed(hMain); }));
        EXPECT_TRUE(WaitUntil([&] {
            std::vector<std::string> lines = ReadLines(record);
            std::vector<std::string> recent(lines.begin() + recordedBefore, lines.end());
            return Contains(recent, "state normal") && Contains(recent, "foreground");
        })) << [&] {
            std::string all;
            for (const std::string& line : ReadLines(record))
                all += line + " | ";
            return all;
        }();
        EXPECT_FALSE(FileExists(folder / "Zevi\\Zevi.log")) << "a second instance was started";
        EXPECT_TRUE(running.IsRunning());
    }
}

}  // namespace
