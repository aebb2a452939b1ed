// Stand-in for the main program, for tests and the demo.
//
// Zevi.exe [title [record-file [mode]]]
//   title        window title (default "Quillorn2019"); class "ThunderRT6FormDC"
//   record-file  where it records what happens to it (default: Zevi.log
//                beside the exe); one line per event:
//                  start <command line> | state normal|min|max | foreground | close
//   mode         normal (default); min or max: starts minimized or maximized;
//                hung: stops answering messages once it has started;
//                linger: its window closes on WM_CLOSE but the process stays
//                a few seconds longer.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string g_recordPath;
std::string g_mode = "normal";
const char* g_lastState = "";

void Record(const std::string& line)
{
    if (FILE* f = std::fopen(g_recordPath.c_str(), "ab")) {
        std::fprintf(f, "%s\r\n", line.c_str());
        std::fclose(f);
    }
}

void RecordState(const char* state)
{
    if (std::strcmp(state, g_lastState) != 0) {
        g_lastState = state;
        Record(std::string("state ") + state);
    }
}

// Activation messages do not tell when the window becomes the foreground
// window (one activated while another program is in front gets none when
// it comes forward later), so a timer looks.
constexpr UINT_PTR kForegroundTimer = 1;
constexpr UINT kForegroundCheckMs = 20;
bool g_inForeground = false;

void RecordForeground(HWND hWnd)
{
    bool inForeground = GetForegroundWindow() == hWnd;
    if (inForeground && !g_inForeground)
        Record("foreground");
    g_inForeground = inForeground;
}

LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        RecordState(wParam == SIZE_MINIMIZED ? "min" : wParam == SIZE_MAXIMIZED ? "max" : "normal");
        break;
    case WM_TIMER:
        RecordForeground(hWnd);
        return 0;
    case WM_CLOSE:
        Record("close");
        DestroyWindow(hWnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

std::string DefaultRecordPath()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path, n);
    return p.substr(0, p.find_last_of('\\') + 1) + "Zevi.log";
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    const char* title = __argc > 1 ? __argv[1] : "Quillorn2019";
    g_recordPath = __argc > 2 ? __argv[2] : DefaultRecordPath();
    if (__argc > 3)
        g_mode = __argv[3];
    Record(std::string("start ") + GetCommandLineA());

    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "ThunderRT6FormDC";
    RegisterClassA(&wc);
    HWND hWnd = CreateWindowA(wc.lpszClassName, title, WS_OVERLAPPEDWINDOW, 40, 40, 320, 200,
                              nullptr, nullptr, hInstance, nullptr);
    int show = g_mode == "min" ? SW_SHOWMINIMIZED : g_mode == "max" ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    ShowWindow(hWnd, show);
    UpdateWindow(hWnd);
    SetTimer(hWnd, kForegroundTimer, kForegroundCheckMs, nullptr);

    if (g_mode == "hung") {
        Sleep(60000);  // answers nothing; a test ends it long before this
        return 0;
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (g_mode == "linger")
        Sleep(4000);
    Record("exit");
    return 0;
}
