// Hosting a modal dialog in a test: the test thread runs DoModal, while a
// driver runs on a second thread once the dialog is visible, as a user
// would act on it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "framework/Dialog.h"

// Runs dlg modally. When its window is visible, driver(hWnd) runs on another
// thread; afterwards a dialog still open is cancelled. Returns DoModal's
// result; an exception from DoModal (CProcessExit) is thrown again once the
// driver has finished. A dialog that never becomes visible skips the driver.
INT_PTR RunHostedDialog(CDialog& dlg, const std::function<void(HWND)>& driver);

// Text of a window, read with WM_GETTEXT (works across threads and processes).
std::string WindowText(HWND hWnd);
std::string DlgItemText(HWND hDlg, int id);

// The first visible dialog of the thread, with the given caption unless null.
HWND VisibleDialogOfThread(DWORD threadId, const char* caption = nullptr);

bool IsEnabled(HWND hDlg, int id);
// Clicks a visible, enabled button and returns once its handler has run.
bool Click(HWND hDlg, int id);

// Polls pred every 10 ms until it holds; false after timeoutMs.
bool WaitUntil(const std::function<bool()>& pred, unsigned timeoutMs = 20000);
