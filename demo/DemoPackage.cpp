// The demo's upgrade package: shows for a few seconds that the upgrade ran,
// and records it beside itself (QuillornSetup.exe.ran).
#include <windows.h>

#include <cstdio>

namespace {

const char kTitle[] = "Quillorn 19.0.0.4 安装程序";
const char kText[] = "升级包已运行：正在安装 Quillorn 19.0.0.4……";

LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hWnd, &ps);
        RECT rect;
        GetClientRect(hWnd, &rect);
        SetBkMode(hdc, TRANSPARENT);
        SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
        DrawTextA(hdc, kText, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(hWnd, &ps);
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

void RecordRun()
{
    char path[MAX_PATH + 8];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    lstrcpyA(path + n, ".ran");
    if (FILE* f = std::fopen(path, "ab")) {
        std::fprintf(f, "ran %s\r\n", GetCommandLineA());
        std::fclose(f);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    RecordRun();
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "QuillornDemoSetup";
    RegisterClassA(&wc);
    CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, kTitle, WS_CAPTION | WS_VISIBLE, 260, 240,
                    440, 140, nullptr, nullptr, hInstance, nullptr);
    DWORD end = GetTickCount() + 8000;
    MSG msg;
    while (GetTickCount() < end) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(20);
    }
    return 0;
}
