// The demo's upgrade package: shows for a few seconds that the upgrade ran,
// and records it beside itself (QuillornSetup.exe.ran).
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH + 8];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    lstrcpyA(path + n, ".ran");
    if (FILE* f = std::fopen(path, "ab")) {
        std::fprintf(f, "ran %s\r\n", GetCommandLineA());
        std::fclose(f);
    }
    HWND hWnd = CreateWindowExA(WS_EX_TOPMOST, "STATIC",
                                "Quillorn 19.0.0.4 安装程序\r\n\r\n升级包已运行：正在安装新版本……",
                                WS_POPUP | WS_VISIBLE | WS_BORDER | SS_CENTER, 300, 260, 420, 120,
                                nullptr, nullptr, hInstance, nullptr);
    SetWindowTextA(hWnd, "Quillorn 19.0.0.4 安装程序\r\n\r\n升级包已运行：正在安装新版本……");
    DWORD end = GetTickCount() + 6000;
    MSG msg;
    while (GetTickCount() < end) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(20);
    }
    return 0;
}
