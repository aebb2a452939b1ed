#include "framework/Thread.h"

#include <process.h>

namespace {

// The thread's entry: runs the procedure, keeps any exception from
// reaching the system, and deletes the thread's record.
unsigned __stdcall ThreadEntry(void* pVoid)
{
    CWinThread* pThread = static_cast<CWinThread*>(pVoid);
    UINT nExitCode;
    try {
        nExitCode = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
    } catch (...) {
        nExitCode = kThreadExceptionExitCode;
    }
    delete pThread;
    return nExitCode;
}

}  // namespace

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam)
{
}

CWinThread::~CWinThread()
{
    if (m_hThread != nullptr)
        ::CloseHandle(m_hThread);
}

DWORD CWinThread::ResumeThread() const
{
    return ::ResumeThread(m_hThread);
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority,
                           UINT nStackSize, DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    CWinThread* pThread = new CWinThread(pfnThreadProc, pParam);
    // Created suspended so that the record is complete before the thread
    // can run, end and delete it.
    unsigned threadId = 0;
    uintptr_t handle = _beginthreadex(lpSecurityAttrs, nStackSize, ThreadEntry, pThread,
                                      CREATE_SUSPENDED, &threadId);
    if (handle == 0) {
        delete pThread;
        return nullptr;
    }
    pThread->m_hThread = reinterpret_cast<HANDLE>(handle);
    pThread->m_nThreadID = threadId;
    ::SetThreadPriority(pThread->m_hThread, nPriority);
    if ((dwCreateFlags & CREATE_SUSPENDED) == 0)
        pThread->ResumeThread();
    return pThread;
}
