// Start-up times under Wine, warm, each beside a trivial Win32 program in
// the same rounds:
//   trivial          TrivialWindow.exe until its window is in the foreground
//   launcher-start   Updater.exe (launcher mode, main program not running)
//                    until the main program it starts is in the foreground
//   launcher-forward Updater.exe (launcher mode, main program running behind
//                    another window) until the main program is in front
//   check            Updater.exe check, until its dialog is visible with the
//                    report of the descriptor from the loopback server
// Usage: startup_bench.exe ROUNDS   (the programs lie in bin\ beside it;
// Updater.exe there fetches from the bench server). The first round warms
// up and is not counted. Prints one line per scenario with the median.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/Resource.h"
#include "bench/Stopwatch.h"
#include "tests/support/DialogHost.h"
#include "tests/support/ProcessDriver.h"

namespace {

constexpr unsigned kTimeoutMs = 20000;
const char kMainClass[] = "ThunderRT6FormDC";
const char kTrivialClass[] = "BenchTrivialWindow";

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

// Seconds from start until found() holds, handling this thread's messages
// meanwhile; negative after the timeout.
double SecondsUntil(LARGE_INTEGER start, const std::function<bool()>& found)
{
    const DWORD startTick = GetTickCount();
    while (!found()) {
        if (GetTickCount() - startTick > kTimeoutMs)
            return -1;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    return Seconds(start, Now());
}

bool ForegroundIs(const char* className)
{
    char name[64] = {};
    GetClassNameA(GetForegroundWindow(), name, sizeof name);
    return std::string(name) == className;
}

// Closes the foreground window of the class and waits for its process.
void CloseForeground(const char* className)
{
    if (!ForegroundIs(className))
        return;
    HWND hWnd = GetForegroundWindow();
    DWORD processId = 0;
    GetWindowThreadProcessId(hWnd, &processId);
    HANDLE hProcess = OpenProcess(SYNCHRONIZE, FALSE, processId);
    PostMessageA(hWnd, WM_CLOSE, 0, 0);
    if (hProcess != nullptr) {
        WaitForSingleObject(hProcess, kTimeoutMs);
        CloseHandle(hProcess);
    }
}

// GetWindowTextLength does not ask a control of another process for its
// text; the message does.
bool DialogShowsReport(const TestProcess& process)
{
    for (HWND hWnd : process.Windows()) {
        HWND hReport = GetDlgItem(hWnd, IDC_EDIT_INFO);
        if (IsWindowVisible(hWnd) && hReport != nullptr && SendMessageA(hReport, WM_GETTEXTLENGTH, 0, 0) > 0)
            return true;
    }
    return false;
}

class Scenarios {
public:
    Scenarios() : m_folder("startup")
    {
        m_updater = m_folder.CopyProgram("Updater.exe", "Updater.exe");
        m_zevi = m_folder.CopyProgram("Zevi.exe", "Zevi\\Zevi.exe");
        m_trivial = TestBinDir() + "TrivialWindow.exe";
        m_folder.WriteFile("config.ini",
                           "[OPTION]\r\ntotal=1\r\nver=1\r\nbuild=1.0\r\ndate=2020-01-01\r\nfolder=Zevi\r\n");
        m_hCover = CreateWindowA("STATIC", "cover", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    }
    ~Scenarios() { DestroyWindow(m_hCover); }

    double Trivial()
    {
        LARGE_INTEGER start = Now();
        TestProcess trivial(m_trivial, Quoted(m_trivial));
        double seconds = SecondsUntil(start, [] { return ForegroundIs(kTrivialClass); });
        CloseForeground(kTrivialClass);
        return seconds;
    }

    double LauncherStart()
    {
        LARGE_INTEGER start = Now();
        TestProcess updater(m_updater, Quoted(m_updater));
        double seconds = SecondsUntil(start, [] { return ForegroundIs(kMainClass); });
        updater.WaitForExit(kTimeoutMs);
        CloseForeground(kMainClass);
        return seconds;
    }

    double LauncherForward()
    {
        TestProcess zevi(m_zevi, Quoted(m_zevi));
        if (SecondsUntil(Now(), [] { return ForegroundIs(kMainClass); }) < 0)
            return -1;
        SetForegroundWindow(m_hCover);  // the main program now lies behind another window
        if (SecondsUntil(Now(), [this] { return GetForegroundWindow() == m_hCover; }) < 0)
            return -1;
        LARGE_INTEGER start = Now();
        TestProcess updater(m_updater, Quoted(m_updater));
        double seconds = SecondsUntil(start, [] { return ForegroundIs(kMainClass); });
        updater.WaitForExit(kTimeoutMs);
        CloseForeground(kMainClass);
        return seconds;
    }

    double Check()
    {
        LARGE_INTEGER start = Now();
        TestProcess updater(m_updater, Quoted(m_updater) + " check");
        double seconds = SecondsUntil(start, [&] { return DialogShowsReport(updater); });
        updater.Kill();
        return seconds;
    }

private:
    InstallFolder m_folder;
    std::string m_updater;
    std::string m_zevi;
    std::string m_trivial;
    HWND m_hCover;
};

double Median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    Scenarios scenarios;
    struct Timed {
        const char* name;
        std::function<double()> run;
        std::vector<double> seconds;
        bool ok;
    };
    std::vector<Timed> timed = {
        {"trivial", [&] { return scenarios.Trivial(); }, {}, true},
        {"launcher-start", [&] { return scenarios.LauncherStart(); }, {}, true},
        {"launcher-forward", [&] { return scenarios.LauncherForward(); }, {}, true},
        {"check", [&] { return scenarios.Check(); }, {}, true},
    };
    for (int round = 0; round <= rounds; ++round) {
        for (Timed& t : timed) {
            double seconds = t.run();
            t.ok = t.ok && seconds > 0;
            if (round > 0)  // round 0 warms up
                t.seconds.push_back(seconds);
        }
    }
    bool ok = true;
    for (const Timed& t : timed) {
        std::printf("startup=%s ok=%d median_ms=%.1f runs=%zu\n", t.name, t.ok ? 1 : 0,
                    Median(t.seconds) * 1000, t.seconds.size());
        ok = ok && t.ok;
    }
    return ok ? 0 : 1;
}
