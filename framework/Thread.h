// Worker threads: AfxBeginThread runs a procedure on a new thread, and
// CWinThread describes that thread while it runs.
#pragma once

#include <windows.h>

// A worker procedure: its result becomes the thread's exit code.
typedef UINT (*AFX_THREADPROC)(LPVOID pParam);

// The exit code of a worker whose procedure let an exception escape; the
// exception ends there and never reaches the system.
constexpr UINT kThreadExceptionExitCode = 0xE0000000u;

class CWinThread {
public:
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    ~CWinThread();  // closes the thread handle
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // Starts a thread created with CREATE_SUSPENDED; returns the previous
    // suspend count, or (DWORD)-1 on failure.
    DWORD ResumeThread() const;

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;
};

// Starts pfnThreadProc(pParam) on a new thread. Returns the thread's
// CWinThread, which deletes itself when the thread ends: a caller that did
// not ask for CREATE_SUSPENDED must not touch it after the call. Returns
// null, with nothing left behind, when no thread could be started.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
