// What a user meets when starting Updater.exe in check mode, read from the
// outside: the message boxes that come before the dialog, in order, each
// answered with OK, and the dialog as it is first shown; or the end of the
// process when no dialog comes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/ProcessDriver.h"

struct StartSeen {
    std::vector<std::string> boxes;  // texts, in the order they came
    HWND hDlg = nullptr;             // the main dialog; null if it never showed
    std::string report;              // its edit box
    bool upgradeEnabled = false;
    bool extraVisible = false;
    bool ended = false;              // the process ended without a dialog
    DWORD exitCode = STILL_ACTIVE;
    bool timedOut = false;           // neither happened within the bound
};

// Answers boxes until the main dialog shows or the process ends.
StartSeen WatchStart(const TestProcess& updater, unsigned timeoutMs = 30000);

