#include "actions/MainProgramClose.h"

#include <windows.h>

#include <initializer_list>

#include "app/Launcher.h"

constexpr UINT kCloseAnswerTimeoutMs = 5000;
constexpr DWORD kProcessExitTimeoutMs = 10000;

// Sends WM_CLOSE to the first window of the main program with this title.
// Returns a handle to wait on its process, or null (no window, or a window
// of this very process, which could never end while we wait).
static HANDLE AskToClose(const char* title)
{
    HWND hWnd = ::FindWindowA(kMainWindowClass, title);
    if (hWnd == nullptr)
        return nullptr;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hWnd, &processId);
    HANDLE hProcess = nullptr;
    if (processId != 0 && processId != ::GetCurrentProcessId())
        hProcess = ::OpenProcess(SYNCHRONIZE, FALSE, processId);
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(hWnd, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kCloseAnswerTimeoutMs, &answer);
    return hProcess;
}

void CloseMainProgram(bool bWaitForExit)
{
    HANDLE processes[2];
    DWORD count = 0;
    for (const char* title : {kMainWindowTitle, kOldMainWindowTitle}) {
        if (HANDLE hProcess = AskToClose(title))
            processes[count++] = hProcess;
    }
    if (bWaitForExit && count > 0)
        ::WaitForMultipleObjects(count, processes, TRUE, kProcessExitTimeoutMs);
    for (DWORD i = 0; i < count; ++i)
        ::CloseHandle(processes[i]);
}
