#include "tests/support/ProgressWindow.h"

#include <commctrl.h>

#include <cstdio>

#include "download/ProgressReport.h"

namespace {

const char kClassName[] = "UpdaterTestProgressWindow";

void RegisterOnce(WNDPROC proc)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);  // fails harmlessly when already registered
}

HWND Child(HWND hParent, const char* className, int y)
{
    return CreateWindowA(className, "", WS_CHILD | WS_VISIBLE, 10, y, 200, 20, hParent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

ProgressWindow::ProgressWindow()
{
    RegisterOnce(WindowProc);
    m_hWnd = CreateWindowA(kClassName, "progress", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 240, 120,
                           nullptr, nullptr, GetModuleHandleA(nullptr), this);
    m_hSpeed = Child(m_hWnd, "STATIC", 5);
    m_hPercent = Child(m_hWnd, "STATIC", 30);
    m_hBar = Child(m_hWnd, PROGRESS_CLASSA, 55);
}

ProgressWindow::~ProgressWindow()
{
    DestroyWindow(m_hWnd);
}

LRESULT CALLBACK ProgressWindow::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* pCreate = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pCreate->lpCreateParams));
    }
    auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (message == WM_DOWNLOAD_PROGRESS && self != nullptr) {
        self->Show(lParam);
        return 1;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

void ProgressWindow::Show(LPARAM lParam)
{
    auto* pReport = reinterpret_cast<ProgressReport*>(lParam);
    HandledReport seen{pReport->strSpeed.GetString(), pReport->nPercent, ProgressReportsInFlight()};
    ReleaseProgressReport(pReport);
    m_reports.push_back(seen);
    char percentText[16];
    std::snprintf(percentText, sizeof percentText, "%d%%", seen.percent);
    SetWindowTextA(m_hSpeed, seen.speed.c_str());
    SetWindowTextA(m_hPercent, percentText);
    SendMessageA(m_hBar, PBM_SETPOS, static_cast<WPARAM>(seen.percent), 0);
    if (m_observer)
        m_observer(seen);
}

bool ProgressWindow::PumpUntil(const std::function<bool()>& finished, unsigned timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (finished() && ProgressReportsInFlight() == 0)
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool ProgressWindow::PumpUntilSignalled(HANDLE hWait, unsigned timeoutMs)
{
    return PumpUntil([hWait] { return WaitForSingleObject(hWait, 0) == WAIT_OBJECT_0; }, timeoutMs);
}
