// The stand-in main program, as the launcher and upgrade tests rely on it:
// its window in each start mode, and the record it keeps. Its titles here
// are the test's own, so no other test's search can find it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/DialogHost.h"
#include "tests/support/ProcessDriver.h"

namespace {

constexpr char kClass[] = "ThunderRT6FormDC";

struct StandInRun {
    InstallFolder folder{"standin"};
    std::string exe = folder.CopyProgram("Zevi.exe", "Main\\Zevi.exe");
    std::string record = folder / "record.log";
    std::string title;
    std::string commandLine;

    explicit StandInRun(const std::string& mode)
        : title("StandIn-" + mode + "-" + std::to_string(GetCurrentProcessId())),
          commandLine("\"" + exe + "\" " + title + " \"" + record + "\" " + mode)
    {
    }

    bool Recorded(const std::string& line) const
    {
        std::vector<std::string> lines = ReadLines(record);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

// True when the window's thread answers a message.
bool Answers(HWND hWnd)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(hWnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
}

struct ShowCase {
    const char* mode;
    const char* state;  // as recorded
    bool iconic, zoomed;
};

TEST(StandIn, StartsInItsModesShowStateAndRecordsItUntilClosed)
{
    const ShowCase cases[] = {
        {"normal", "state normal", false, false},
        {"min", "state min", true, false},
        {"max", "state max", false, true},
    };
    for (const ShowCase& c : cases) {
        SCOPED_TRACE(c.mode);
        StandInRun run(c.mode);
        TestProcess standIn(run.exe, run.commandLine);
        ASSERT_TRUE(standIn.Started());
        HWND hWnd = standIn.WaitForWindow(kClass, run.title.c_str());
        ASSERT_NE(nullptr, hWnd);
        EXPECT_EQ(c.iconic, IsIconic(hWnd) != FALSE);
        EXPECT_EQ(c.zoomed, IsZoomed(hWnd) != FALSE);
        EXPECT_TRUE(Answers(hWnd));
        EXPECT_TRUE(WaitUntil([&] { return run.Recorded(c.state); }));

        PostMessageA(hWnd, WM_CLOSE, 0, 0);
        ASSERT_TRUE(standIn.WaitForExit());
        EXPECT_EQ(0u, standIn.ExitCode());
        std::vector<std::string> lines = ReadLines(run.record);
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ("start " + run.commandLine, lines.front());
        EXPECT_TRUE(run.Recorded("close"));
        EXPECT_EQ("exit", lines.back());
    }
}

TEST(StandIn, RecordsBeingRestoredAndBroughtForward)
{
    StandInRun run("min");
    TestProcess standIn(run.exe, run.commandLine);
    HWND hWnd = standIn.WaitForWindow(kClass, run.title.c_str());
    ASSERT_NE(nullptr, hWnd);
    ShowWindow(hWnd, SW_SHOWNORMAL);
    SetForegroundWindow(hWnd);
    EXPECT_TRUE(WaitUntil([&] { return run.Recorded("state normal"); }));
    EXPECT_TRUE(WaitUntil([&] { return run.Recorded("foreground"); }));
}

TEST(StandIn, HungModeStopsAnswering)
{
    StandInRun run("hung");
    TestProcess standIn(run.exe, run.commandLine);
    HWND hWnd = standIn.WaitForWindow(kClass, run.title.c_str());
    ASSERT_NE(nullptr, hWnd);
    EXPECT_FALSE(Answers(hWnd));
    EXPECT_TRUE(standIn.IsRunning());
    EXPECT_TRUE(run.Recorded("start " + run.commandLine));
}

TEST(StandIn, LingerModeOutlivesItsClosedWindow)
{
    StandInRun run("linger");
    TestProcess standIn(run.exe, run.commandLine);
    HWND hWnd = standIn.WaitForWindow(kClass, run.title.c_str());
    ASSERT_NE(nullptr, hWnd);
    PostMessageA(hWnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(hWnd); }));
    EXPECT_TRUE(standIn.IsRunning()) << "ended with its window";
    EXPECT_TRUE(run.Recorded("close"));
    ASSERT_TRUE(standIn.WaitForExit());
    EXPECT_EQ(0u, standIn.ExitCode());
    EXPECT_EQ("exit", ReadLines(run.record).back());
}

}  // namespace
