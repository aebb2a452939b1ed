// Runs the smoke scenarios against the shipped Updater.exe from one process,
// since every process start under emulation costs about a minute.
//
// SmokeDriver.exe ROOT PORT SCENARIO...
//   ROOT      folder laid out by the runner script:
//               noconfig\Updater.exe   (no config.ini beside it)
//               forward\Updater.exe    (no config.ini beside it)
//               ery\Updater.exe, eck\Updater.exe
//               main\Zevi.exe          (the stand-in main program)
//               served\soft\zevi\SmokeSetup.exe (the package; the loopback
//                                      server publishes served\)
//   PORT      loopback port of that server (only the check scenarios use it)
//   SCENARIO  launcher-no-config, launcher-forward, ery-current, eck-upgrade;
//             they run in this order whatever the order given.
// Prints one line per step and "N passed, N failed" last; exit status 1
// when a step failed.
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

// Bound on each wait: an emulated process start takes about a minute.
const DWORD kPatienceMs = 300000;
const int kUpgradeButton = 1000;  // IDC_BTN_UPGRADE
const int kInfoEdit = 1002;       // IDC_EDIT_INFO
const int kMessageBoxText = 0xFFFF;
const char kMainClass[] = "ThunderRT6FormDC";
const char kMainTitle[] = "Quillorn2019";

std::string g_root;
int g_port = 0;
int g_passed = 0;
int g_failed = 0;

void Step(const char* scenario, const std::string& what, bool ok, const std::string& detail = "")
{
    // The detail explains a failure; it is left out of passing lines.
    bool explain = !ok && !detail.empty();
    std::printf("%s %s: %s%s%s\n", ok ? "ok  " : "FAIL", scenario, what.c_str(),
                explain ? " -- " : "", explain ? detail.c_str() : "");
    std::fflush(stdout);
    ++(ok ? g_passed : g_failed);
}

// Sleeps while answering messages sent to the driver's own window.
void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DWORD spent = GetTickCount() - start;
        if (spent >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
    }
}

bool WaitUntil(const std::function<bool()>& done, DWORD limitMs = kPatienceMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > limitMs)
            return false;
        Pump(100);
    }
    return true;
}

std::string Path(const std::string& relative)
{
    return g_root + "\\" + relative;
}

bool ReadBytes(const std::string& path, std::string* bytes)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    bytes->clear();
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes->append(buf, n);
    std::fclose(f);
    return true;
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// --- processes -------------------------------------------------------------

struct Child {
    HANDLE hProcess = nullptr;
    DWORD pid = 0;
    explicit operator bool() const { return hProcess != nullptr; }
};

Child Start(const std::string& exe, const std::string& args)
{
    std::string cmd = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
    std::string dir = exe.substr(0, exe.find_last_of('\\'));
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                        &si, &pi))
        return {};
    CloseHandle(pi.hThread);
    Child c;
    c.hProcess = pi.hProcess;
    c.pid = pi.dwProcessId;
    return c;
}

bool Ended(const Child& c)
{
    return WaitForSingleObject(c.hProcess, 0) == WAIT_OBJECT_0;
}

DWORD ExitCode(const Child& c)
{
    DWORD code = 0;
    GetExitCodeProcess(c.hProcess, &code);
    return code;
}

// Ends a process that a failed step left running, so later scenarios start clean.
void Finish(Child& c)
{
    if (!c)
        return;
    if (!Ended(c)) {
        TerminateProcess(c.hProcess, 99);
        WaitForSingleObject(c.hProcess, 30000);
    }
    CloseHandle(c.hProcess);
    c = Child{};
}

// --- windows ---------------------------------------------------------------

std::string ClassOf(HWND h)
{
    char name[256] = "";
    GetClassNameA(h, name, sizeof name);
    return name;
}

// WM_GETTEXT is sent rather than GetWindowText, which would not ask a
// window of another process for its current text.
std::string TextOf(HWND h)
{
    DWORD_PTR length = 0;
    if (!h || !SendMessageTimeoutA(h, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 30000, &length))
        return "<no answer>";
    std::vector<char> buf(length + 1);
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_NORMAL,
                        30000, &copied);
    return std::string(buf.data(), copied);
}

struct WindowSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectVisible(HWND h, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == search->pid && IsWindowVisible(h))
        search->found.push_back(h);
    return TRUE;
}

std::vector<HWND> VisibleWindows(DWORD pid)
{
    WindowSearch search{pid, {}};
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string Describe(HWND h)
{
    std::string text = ClassOf(h) + " \"" + TextOf(h) + "\"";
    if (HWND hText = GetDlgItem(h, kMessageBoxText))
        text += " saying \"" + TextOf(hText) + "\"";
    return text;
}

// Waits until the process shows a dialog-class window that the filter
// accepts, or ends. Returns the window, or null.
HWND WaitForDialog(const Child& c, const std::function<bool(HWND)>& accept)
{
    HWND result = nullptr;
    WaitUntil([&] {
        for (HWND h : VisibleWindows(c.pid)) {
            if (ClassOf(h) == "#32770" && accept(h)) {
                result = h;
                return true;
            }
        }
        return Ended(c);
    });
    return result;
}

// Waits for the process to end; reports in *seen the first visible window
// that it showed meanwhile.
bool WatchUntilEnd(const Child& c, std::string* seen)
{
    seen->clear();
    return WaitUntil([&] {
        if (seen->empty()) {
            std::vector<HWND> shown = VisibleWindows(c.pid);
            if (!shown.empty())
                *seen = Describe(shown.front());
        }
        return Ended(c);
    });
}

void Click(HWND hDlg, int id)
{
    PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(hDlg, id)));
}

// --- the stand-in main program ------------------------------------------

Child g_main;
HWND g_hMain = nullptr;

std::string MainLogPath()
{
    return Path("main\\Zevi.log");
}

HWND FindMainWindow(DWORD pid)
{
    HWND h = FindWindowA(kMainClass, kMainTitle);
    DWORD owner = 0;
    if (h)
        GetWindowThreadProcessId(h, &owner);
    return owner == pid ? h : nullptr;
}

// Starts the stand-in (state "normal" or "min") unless it already runs.
bool EnsureMain(const char* scenario, const char* state)
{
    if (g_main && !Ended(g_main) && g_hMain)
        return true;
    Finish(g_main);
    g_main = Start(Path("main\\Zevi.exe"), std::string(kMainTitle) + " " + MainLogPath() + " " + state);
    g_hMain = nullptr;
    bool up = g_main && WaitUntil([] {
                  g_hMain = FindMainWindow(g_main.pid);
                  return g_hMain != nullptr || Ended(g_main);
              }) && g_hMain;
    Step(scenario, "the stand-in main program shows its window", up);
    return up;
}

// Lines of the stand-in's record from the first one that matches `from`.
std::string MainLogAfter(const std::string& from)
{
    std::string log;
    ReadBytes(MainLogPath(), &log);
    size_t at = log.rfind(from);
    return at == std::string::npos ? std::string() : log.substr(at);
}

void CloseMain()
{
    if (g_main && !Ended(g_main) && g_hMain) {
        PostMessageA(g_hMain, WM_CLOSE, 0, 0);
        WaitForSingleObject(g_main.hProcess, 60000);
    }
    Finish(g_main);
    g_hMain = nullptr;
}

// --- the loopback server ---------------------------------------------------

// The request heads that the server has seen, as its /requests page lists them.
std::string ServerRequests()
{
    std::string reply;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<u_short>(g_port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (s != INVALID_SOCKET && connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        const char request[] = "GET /requests HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
        send(s, request, sizeof request - 1, 0);
        char buf[4096];
        int n;
        while ((n = recv(s, buf, sizeof buf, 0)) > 0)
            reply.append(buf, n);
    }
    if (s != INVALID_SOCKET)
        closesocket(s);
    size_t body = reply.find("\r\n\r\n");
    return body == std::string::npos ? std::string() : reply.substr(body + 4);
}

int CountOf(const std::string& text, const std::string& part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// --- the descriptor and the local configurations ------------------------

const char kDescriptorRequest[] = "GET /soft/zevi/upt.htm HTTP/1.1";
const char kPackageName[] = "SmokeSetup.exe";

std::string Descriptor()
{
    return "[VERSION]\r\n"
           "total=19.4\r\n"
           "ver=19.04\r\n"
           "build=19.0.0.4\r\n"
           "date=2019-06-18\r\n"
           "\r\n"
           "[CONTENT]\r\n"
           "line1=新增看图打字练习\r\n"
           "line2=修正键盘提示闪烁的问题\r\n"
           "\r\n"
           "[ADDRESS]\r\n"
           "url=http://127.0.0.1:" + std::to_string(g_port) + "/soft/zevi/" + kPackageName + "\r\n"
           "file=" + kPackageName + "\r\n";
}

// The same ver as the descriptor; an older total.
const char kLocalConfig[] =
    "[OPTION]\r\n"
    "ver=19.04\r\n"
    "total=19.3\r\n"
    "build=19.0.0.3\r\n"
    "date=2019-01-15\r\n"
    "folder=main\r\n";

const char kReport[] =
    "最新版本：V19.0.0.4\r\n"
    "发布日期：2019-06-18\r\n"
    "目前版本：19.0.0.3\r\n"
    "版本日期：2019-01-15\r\n"
    "升级内容：\r\n"
    "新增看图打字练习\r\n"
    "修正键盘提示闪烁的问题";

bool PrepareCheck(const char* scenario, const char* folder)
{
    bool ok = WriteBytes(Path(std::string(folder) + "\\config.ini"), kLocalConfig) &&
              WriteBytes(Path("served\\soft\\zevi\\upt.htm"), Descriptor());
    Step(scenario, "config.ini and the served descriptor written", ok);
    return ok;
}

// --- scenarios ---------------------------------------------------------

void LauncherNoConfig()
{
    const char* name = "launcher-no-config";
    Step(name, "no main program window is open", FindWindowA(kMainClass, kMainTitle) == nullptr);

    std::string exe = Path("noconfig\\Updater.exe");
    Child c = Start(exe, "");
    Step(name, "Updater.exe starts", bool(c), "error " + std::to_string(GetLastError()));
    if (!c)
        return;

    HWND hBox = WaitForDialog(c, [](HWND h) { return GetDlgItem(h, kMessageBoxText) != nullptr; });
    Step(name, "a message box appears", hBox != nullptr,
         Ended(c) ? "the process ended first, status " + std::to_string(ExitCode(c)) : "");
    if (hBox) {
        std::string expected = "未找到" + Path("noconfig\\config.ini") + "！错误号:2";
        std::string text = TextOf(GetDlgItem(hBox, kMessageBoxText));
        Step(name, "its text names config.ini and error 2", text == expected, "got \"" + text + "\"");

        std::vector<HWND> shown = VisibleWindows(c.pid);
        std::string others;
        for (HWND h : shown)
            if (h != hBox)
                others += Describe(h) + "; ";
        Step(name, "no other window is shown (the dialog stays hidden)", others.empty(), others);

        HWND hOk = GetDlgItem(hBox, IDOK);
        Step(name, "the message box has an OK button and no other", hOk && !GetDlgItem(hBox, IDCANCEL));
        Click(hBox, IDOK);
        bool ended = WaitUntil([&] { return Ended(c); });
        Step(name, "after OK the process ends with status 0", ended && ExitCode(c) == 0,
             ended ? "status " + std::to_string(ExitCode(c)) : "still running");
    }
    Finish(c);
}

// The driver's own window, put in front so that bringing the main program
// forward is visible.
HWND MakeOwnWindowForeground()
{
    static HWND hOwn = CreateWindowA("STATIC", "SmokeDriver", WS_OVERLAPPEDWINDOW, 500, 300, 200, 100,
                                     nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(hOwn, SW_SHOWNORMAL);
    SetForegroundWindow(hOwn);
    WaitUntil([] { return GetForegroundWindow() == hOwn; }, 30000);
    return hOwn;
}

void LauncherForward()
{
    const char* name = "launcher-forward";
    CloseMain();  // it must start minimized
    if (!EnsureMain(name, "min"))
        return;
    Step(name, "its window starts minimized", WaitUntil([] { return IsIconic(g_hMain) != FALSE; }, 30000));
    HWND hOwn = MakeOwnWindowForeground();
    Step(name, "another window is in front before the run", GetForegroundWindow() == hOwn);

    Child c = Start(Path("forward\\Updater.exe"), "");
    Step(name, "Updater.exe starts", bool(c), "error " + std::to_string(GetLastError()));
    if (!c)
        return;
    std::string seen;
    bool ended = WatchUntilEnd(c, &seen);
    Step(name, "it ends with status 0", ended && ExitCode(c) == 0,
         ended ? "status " + std::to_string(ExitCode(c)) : "still running");
    Step(name, "it shows no window and no message (config.ini is not looked at)", seen.empty(), seen);
    Finish(c);

    bool restored = WaitUntil([] { return !IsIconic(g_hMain) && IsWindowVisible(g_hMain); }, 30000);
    Step(name, "the main program's window is restored", restored);
    bool front = WaitUntil([] { return GetForegroundWindow() == g_hMain; }, 30000);
    Step(name, "the main program's window is in front", front);
    std::string record = MainLogAfter("state min");
    Step(name, "the main program saw: restored, then activated in front",
         Contains(record, "state normal") && Contains(record.substr(record.find("state normal") + 1), "foreground"),
         "record: " + record);
    Step(name, "no second main program was started",
         CountOf(MainLogAfter("start"), "start ") == 1 && FindMainWindow(g_main.pid) == g_hMain);
}

void EryCurrent()
{
    const char* name = "ery-current";
    if (!PrepareCheck(name, "ery"))
        return;
    int before = CountOf(ServerRequests(), kDescriptorRequest);

    Child c = Start(Path("ery\\Updater.exe"), "/query");
    Step(name, "Updater.exe /query starts", bool(c), "error " + std::to_string(GetLastError()));
    if (!c)
        return;
    std::string seen;
    bool ended = WatchUntilEnd(c, &seen);
    Step(name, "it ends with status 0", ended && ExitCode(c) == 0,
         ended ? "status " + std::to_string(ExitCode(c)) : "still running");
    Step(name, "it shows no window", seen.empty(), seen);
    Finish(c);

    std::string requests = ServerRequests();
    Step(name, "the descriptor was requested once", CountOf(requests, kDescriptorRequest) == before + 1,
         std::to_string(CountOf(requests, kDescriptorRequest) - before) + " requests");
    std::string last = requests.substr(requests.rfind(kDescriptorRequest) == std::string::npos
                                           ? 0
                                           : requests.rfind(kDescriptorRequest));
    Step(name, "the request carries the fixed agent and no-cache headers",
         Contains(last, "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR 1.1.4322)\r\n") &&
             Contains(last, "Accept-Language: zh-cn\r\n") && Contains(last, "Pragma: no-cache\r\n"),
         last);
    std::string saved;
    Step(name, "upt.cfg holds the descriptor as served",
         ReadBytes(Path("ery\\upt.cfg"), &saved) && saved == Descriptor());
}

void EckUpgrade()
{
    const char* name = "eck-upgrade";
    if (!PrepareCheck(name, "eck") || !EnsureMain(name, "normal"))
        return;

    Child c = Start(Path("eck\\Updater.exe"), "/check");
    Step(name, "Updater.exe /check starts", bool(c), "error " + std::to_string(GetLastError()));
    if (!c)
        return;
    // A message box from the check would come before the dialog.
    HWND hFirst = WaitForDialog(c, [](HWND) { return true; });
    HWND hDlg = hFirst && GetDlgItem(hFirst, kInfoEdit) ? hFirst : nullptr;
    Step(name, "the dialog appears, with no message before it", hDlg != nullptr,
         hFirst ? Describe(hFirst) : "none; the process ended first");
    if (!hDlg) {
        Finish(c);
        return;
    }
    std::string report = TextOf(GetDlgItem(hDlg, kInfoEdit));
    Step(name, "it shows the version report", report == kReport, "got \"" + report + "\"");
    HWND hUpgrade = GetDlgItem(hDlg, kUpgradeButton);
    Step(name, "the upgrade button \"升级\" is enabled",
         hUpgrade && IsWindowEnabled(hUpgrade) && TextOf(hUpgrade) == "升级");

    Click(hDlg, kUpgradeButton);
    bool ended = WaitUntil([&] { return Ended(c); });
    Step(name, "after 升级 the process ends with status 0", ended && ExitCode(c) == 0,
         ended ? "status " + std::to_string(ExitCode(c)) : "still running: " + TextOf(hDlg));
    Finish(c);

    bool closed = WaitUntil([] { return Ended(g_main); }, 60000);
    Step(name, "the main program was asked to close and ended",
         closed && Contains(MainLogAfter("start"), "close"));

    std::string served, fetched, ran;
    std::string local = Path(std::string("eck\\") + kPackageName);
    Step(name, "the package was downloaded whole",
         ReadBytes(Path(std::string("served\\soft\\zevi\\") + kPackageName), &served) &&
             ReadBytes(local, &fetched) && fetched == served,
         std::to_string(fetched.size()) + " of " + std::to_string(served.size()) + " bytes");
    bool started = WaitUntil([&] { return ReadBytes(local + ".ran", &ran) && Contains(ran, "\r\n"); });
    Step(name, "the package ran", started && Contains(ran, kPackageName), ran);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: SmokeDriver ROOT PORT SCENARIO...\n");
        return 2;
    }
    g_root = argv[1];
    g_port = std::atoi(argv[2]);
    std::set<std::string> wanted(argv + 3, argv + argc);
    const std::pair<const char*, void (*)()> scenarios[] = {
        {"launcher-no-config", LauncherNoConfig},
        {"launcher-forward", LauncherForward},
        {"ery-current", EryCurrent},
        {"eck-upgrade", EckUpgrade},
    };
    size_t known = 0;
    for (const auto& s : scenarios)
        known += wanted.count(s.first);
    if (known != wanted.size()) {
        std::fprintf(stderr, "SmokeDriver: unknown scenario among the arguments\n");
        return 2;
    }

    // Xvfb has no window manager: unmanaged windows do not wait for one when
    // hidden or destroyed. Read by each process that starts after this.
    HKEY hKey;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &hKey, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(hKey, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
        RegCloseKey(hKey);
    }

    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    for (const auto& s : scenarios) {
        if (wanted.count(s.first)) {
            std::printf("-- %s\n", s.first);
            std::fflush(stdout);
            s.second();
        }
    }
    CloseMain();
    WSACleanup();
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed ? 1 : 0;
}
