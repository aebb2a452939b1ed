#include "tests/support/DialogHost.h"

#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace {

struct VisibleDialogSearch {
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindVisibleDialog(HWND hWnd, LPARAM lParam)
{
    char className[16] = {};
    GetClassNameA(hWnd, className, sizeof className);
    auto* search = reinterpret_cast<VisibleDialogSearch*>(lParam);
    if (lstrcmpA(className, "#32770") == 0 && IsWindowVisible(hWnd) &&
        (search->caption == nullptr || WindowText(hWnd) == search->caption)) {
        search->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND VisibleDialogOfThread(DWORD threadId, const char* caption)
{
    VisibleDialogSearch search{caption, nullptr};
    EnumThreadWindows(threadId, FindVisibleDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsEnabled(HWND hDlg, int id)
{
    return IsWindowEnabled(GetDlgItem(hDlg, id)) != FALSE;
}

bool Click(HWND hDlg, int id)
{
    HWND hButton = GetDlgItem(hDlg, id);
    if (!IsWindowVisible(hButton) || !IsWindowEnabled(hButton))
        return false;
    SendMessageA(hButton, BM_CLICK, 0, 0);
    return true;
}

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
