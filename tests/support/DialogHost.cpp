#include "tests/support/DialogHost.h"

#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace {

struct VisibleDialogSearch {
    HWND found;
};

BOOL CALLBACK FindVisibleDialog(HWND hWnd, LPARAM lParam)
{
    char className[16] = {};
    GetClassNameA(hWnd, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0 && IsWindowVisible(hWnd)) {
        reinterpret_cast<VisibleDialogSearch*>(lParam)->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND VisibleDialogOfThread(DWORD threadId)
{
    VisibleDialogSearch search{nullptr};
    EnumThreadWindows(threadId, FindVisibleDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& pred, unsigned timeoutMs)
{
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

std::string WindowText(HWND hWnd)
{
    std::vector<char> buffer(65536);
    LRESULT n = SendMessageA(hWnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data(), static_cast<size_t>(n));
}

std::string DlgItemText(HWND hDlg, int id)
{
    return WindowText(GetDlgItem(hDlg, id));
}

INT_PTR RunHostedDialog(CDialog& dlg, const std::function<void(HWND)>& driver)
{
    std::atomic<bool> modalEnded{false};
    const DWORD uiThread = GetCurrentThreadId();
    std::thread driverThread([&] {
        HWND hDlg = nullptr;
        WaitUntil([&] {
            hDlg = VisibleDialogOfThread(uiThread);
            return hDlg != nullptr || modalEnded.load();
        }, 60000);
        if (hDlg == nullptr || modalEnded.load())
            return;
        driver(hDlg);
        if (IsWindow(hDlg))
            PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    INT_PTR result = -1;
    std::exception_ptr failure;
    try {
        result = dlg.DoModal();
    } catch (...) {
        failure = std::current_exception();
    }
    modalEnded = true;
    driverThread.join();
    if (failure)
        std::rethrow_exception(failure);
    return result;
}
