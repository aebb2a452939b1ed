// Paths that do not fit the launcher's 200-byte buffer, and code page 936
// names whose second byte is a backslash, driven in-process through the
// module-path seam: no such file needs to exist for the path to be seen.
// The suite holds the desktop lock, since the launcher looks for the main
// program's window.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "app/UpdaterDlg.h"
#include "framework/Process.h"
#include "tests/support/DialogHost.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/Seams.h"

namespace {

constexpr size_t kPathLimit = 199;  // bytes of a 200-byte buffer, terminator excluded
constexpr int kErrorTooLong = 206;  // ERROR_FILENAME_EXCED_RANGE

struct Outcome {
    bool ended;
    UINT exitCode;
    std::vector<std::string> boxes;
};

// Runs the main dialog as if the exe lay at modulePath and was started with
// the argument; the run must end the process.
Outcome RunAs(const std::string& modulePath, const std::string& argument)
{
    ScopedSeams seams("\"" + modulePath + "\"" + argument, modulePath);
    CUpdaterDlg dlg;
    Outcome outcome{false, 0, {}};
    try {
        RunHostedDialog(dlg, [](HWND) {});
    } catch (const CProcessExit& exit) {
        outcome.ended = true;
        outcome.exitCode = exit.nExitCode;
    }
    outcome.boxes = ScopedSeams::MessageBoxes();
    return outcome;
}

std::string NotFound(const std::string& path, int error)
{
    return "未找到" + path + "！错误号:" + std::to_string(error);
}

struct LongPathCase {
    const char* name;
    size_t modulePathLength;
    const char* exeName;
    const char* folder;        // the config's folder value; null: no config.ini
    const char* argument;      // "" starts the launcher
    const char* reportedTail;  // after the directory, before the cut to 199 bytes
    int error;                 // 0: no message
};

const LongPathCase kLongPathCases[] = {
    {"module path of 200 stops before config.ini is read", 200, "Updater.exe", "Zevi", "",
     "\\Updater.exe", kErrorTooLong},
    {"module path of 250", 250, "Updater.exe", nullptr, "", "\\Updater.exe", kErrorTooLong},
    {"module path of 199 and a launch path of 199 fit", 199, "Updater.exe", "ab", "",
     "\\ab\\Zevi.exe", ERROR_PATH_NOT_FOUND},
    {"launch path of 200", 199, "Updater.exe", "abc", "", "\\abc\\Zevi.exe", kErrorTooLong},
    {"config path past 199", 199, "U.exe", "Zevi", "", "\\config.ini", kErrorTooLong},
    {"interactive check tells of the long path", 200, "Updater.exe", nullptr, " /check",
     "\\Updater.exe", kErrorTooLong},
    {"quiet check ends silently", 200, "Updater.exe", nullptr, " /query", "", 0},
    {"other checks end silently", 250, "Updater.exe", nullptr, " /run", "", 0},
};

void PrintTo(const LongPathCase& c, std::ostream* os)
{
    *os << c.name;
}

class LauncherPathsDesktop : public testing::TestWithParam<LongPathCase> {};

TEST_P(LauncherPathsDesktop, LongPathsStopTheRunWithError206AsFarAsTheyFit)
{
    const LongPathCase& c = GetParam();
    InstallFolder dir("long", c.modulePathLength - 1 - std::strlen(c.exeName));
    ASSERT_EQ(c.modulePathLength, (dir / c.exeName).size());
    std::string ran;
    if (c.folder != nullptr) {
        dir.WriteFile("config.ini", std::string("[OPTION]\r\nfolder=") + c.folder + "\r\n");
        ran = dir.CopyProgram("RecordRun.exe", "Zevi\\Zevi.exe") + ".ran";
    }

    Outcome outcome = RunAs(dir / c.exeName, c.argument);

    EXPECT_TRUE(outcome.ended);
    EXPECT_EQ(0u, outcome.exitCode);
    std::vector<std::string> expected;
    if (c.error != 0)
        expected.push_back(NotFound((dir.Path() + c.reportedTail).substr(0, kPathLimit), c.error));
    EXPECT_EQ(expected, outcome.boxes);
    if (!ran.empty()) {
        EXPECT_FALSE(FileExists(ran)) << "the main program was started";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LauncherPathsDesktop, testing::ValuesIn(kLongPathCases),
                         [](const testing::TestParamInfo<LongPathCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

// "嘰" is 0xE0 0x5C in code page 936: its second byte is a backslash.
const std::string kTrailBackslashName = "\xE0\x5C" ".exe";

TEST(LauncherGbkPathsDesktop, AnExeNameWithABackslashTrailByteIsNotCutInside)
{
    InstallFolder dir("gbk");
    Outcome outcome = RunAs(dir / kTrailBackslashName, "");
    EXPECT_TRUE(outcome.ended);
    EXPECT_EQ(0u, outcome.exitCode);
    EXPECT_EQ(std::vector<std::string>{NotFound(dir / "config.ini", ERROR_FILE_NOT_FOUND)},
              outcome.boxes);
}

TEST(LauncherGbkPathsDesktop, AnExeNameWithABackslashTrailByteStartsTheMainProgram)
{
    InstallFolder dir("gbk");
    dir.WriteFile("config.ini", "[OPTION]\r\nfolder=Zevi\r\n");
    std::string ran = dir.CopyProgram("RecordRun.exe", "Zevi\\Zevi.exe") + ".ran";
    Outcome outcome = RunAs(dir / kTrailBackslashName, "");
    EXPECT_TRUE(outcome.ended);
    EXPECT_EQ(0u, outcome.exitCode);
    EXPECT_EQ(std::vector<std::string>{}, outcome.boxes);
    EXPECT_TRUE(WaitUntil([&] { return !ReadLines(ran).empty(); }));
}

TEST(LauncherGbkPathsDesktop, ALongPathIsNotReportedWithHalfACharacter)
{
    // Bytes 198 and 199 form one character: the report keeps 198 bytes.
    std::string modulePath = "C:\\" + std::string(195, 'a') + "\xE0\x5C" "b.exe";
    ASSERT_EQ(205u, modulePath.size());
    Outcome outcome = RunAs(modulePath, "");
    EXPECT_TRUE(outcome.ended);
    EXPECT_EQ(std::vector<std::string>{NotFound(modulePath.substr(0, 198), kErrorTooLong)},
              outcome.boxes);
}

}  // namespace
