#include "tests/support/UserSession.h"

#include "app/Resource.h"
#include "tests/support/DialogHost.h"

namespace {

constexpr unsigned kPollMs = 50;
constexpr unsigned kAnswerMs = 10000;  // for a box seen to go once answered

// The main dialog once it is visible: the only dialog with the report box.
bool ReadDialog(const TestProcess& updater, StartSeen& seen)
{
    seen.hDlg = updater.WaitForDialog("Updater", IDC_EDIT_INFO, 0);
    if (seen.hDlg == nullptr)
        return false;
    seen.report = DlgItemText(seen.hDlg, IDC_EDIT_INFO);
    seen.upgradeEnabled = IsWindowEnabled(GetDlgItem(seen.hDlg, IDC_BTN_UPGRADE)) != FALSE;
    seen.extraVisible = IsWindowVisible(GetDlgItem(seen.hDlg, IDC_BTN_EXTRA)) != FALSE;
    return true;
}

}  // namespace

StartSeen WatchStart(const TestProcess& updater, unsigned timeoutMs)
{
    StartSeen seen;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        // Boxes of the check come while the dialog is still hidden.
        if (updater.WaitForMessageBox("Updater", 0) != nullptr) {
            seen.boxes.push_back(updater.AnswerMessageBox("Updater", kAnswerMs).text);
            continue;
        }
        if (ReadDialog(updater, seen))
            return seen;
        if (!updater.IsRunning()) {
            seen.ended = true;
            seen.exitCode = updater.ExitCode();
            return seen;
        }
        Sleep(kPollMs);
    }
    seen.timedOut = true;
    return seen;
}
