// Keeps Wine's helper processes running for the length of a test run, so
// that no test's pipes are held by them. Ended by wineserver -k.
#include <windows.h>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    HWND hWnd = CreateWindowA("STATIC", "WineKeepAlive", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              hInstance, nullptr);
    (void)hWnd;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
