// The trivial Win32 program that start-up times are compared with: one
// window, shown, and a message loop; it ends when the window is closed.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = "BenchTrivialWindow";
    RegisterClassA(&wc);
    HWND hWnd = CreateWindowA(wc.lpszClassName, "trivial", WS_OVERLAPPEDWINDOW, 40, 40, 320, 200, nullptr,
                              nullptr, hInstance, nullptr);
    ShowWindow(hWnd, SW_SHOWNORMAL);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
