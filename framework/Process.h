// The process-wide facts and actions that tests must be able to stand in
// for: the command line, the executable's path and ending the process.
// Production code reaches each only through the function here.
#pragma once

#include <windows.h>

// The process's command line, as GetCommandLineA gives it.
const char* AfxGetCommandLine();

// The running executable's full path, with GetModuleFileNameA's contract:
// returns the length copied; a path that does not fit gives nSize and an
// unterminated buffer.
DWORD AfxGetModuleFileName(char* buffer, DWORD nSize);

// Ends the process at once with the given status; the framework's exit path
// is skipped. Never returns.
[[noreturn]] void AfxEndProcess(UINT nExitCode);

// Thrown by AfxEndProcess instead of ending the process while a test stands
// in for it. Handlers let it pass; the dialog carries it out of DoModal.
struct CProcessExit {
    UINT nExitCode;
};

// Test seams. Each replaces one of the functions above while set; null
// restores the real behaviour.
struct AfxProcessSeams {
    const char* (*commandLine)();
    DWORD (*moduleFileName)(char* buffer, DWORD nSize);
    bool throwOnEndProcess;
};
void AfxSetProcessSeams(const AfxProcessSeams* pSeams);
