#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

#include "framework/Thread.h"
#include "tests/support/DeleteWatch.h"

namespace {

struct ProcSeen {
    DWORD threadId = 0;
    LPVOID param = nullptr;
};

UINT RecordAndReturnSeven(LPVOID pParam)
{
    auto* seen = static_cast<ProcSeen*>(pParam);
    seen->threadId = GetCurrentThreadId();
    seen->param = pParam;
    return 7;
}

UINT Throw(LPVOID)
{
    throw std::runtime_error("escapes the procedure");
}

// Starts proc suspended and keeps a handle of our own, since the record
// deletes itself (and its handle) when the thread ends.
HANDLE StartSuspended(AFX_THREADPROC proc, LPVOID pParam, int nPriority, CWinThread** ppThread)
{
    CWinThread* pThread = AfxBeginThread(proc, pParam, nPriority, 0, CREATE_SUSPENDED);
    if (pThread == nullptr)
        return nullptr;
    HANDLE hOwn = nullptr;
    DuplicateHandle(GetCurrentProcess(), pThread->m_hThread, GetCurrentProcess(), &hOwn, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    *ppThread = pThread;
    return hOwn;
}

DWORD ExitCodeAfterEnd(HANDLE hThread)
{
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hThread, 20000));
    DWORD code = 0;
    GetExitCodeThread(hThread, &code);
    CloseHandle(hThread);
    return code;
}

}  // namespace

TEST(AfxBeginThread, RunsTheProcedureOnItsOwnThreadAndDeletesTheRecordAtTheEnd)
{
    ProcSeen seen;
    CWinThread* pThread = nullptr;
    HANDLE hThread = StartSuspended(RecordAndReturnSeven, &seen, THREAD_PRIORITY_BELOW_NORMAL, &pThread);
    ASSERT_NE(nullptr, hThread);
    EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, GetThreadPriority(hThread));
    EXPECT_EQ(GetThreadId(hThread), pThread->m_nThreadID);
    WatchForDelete(pThread);
    pThread->ResumeThread();
    EXPECT_EQ(7u, ExitCodeAfterEnd(hThread));
    EXPECT_NE(GetCurrentThreadId(), seen.threadId);
    EXPECT_EQ(&seen, seen.param);
    EXPECT_TRUE(WatchedBlockDeleted());
}

TEST(AfxBeginThread, ExceptionEndsOnlyItsThreadWithTheDocumentedCode)
{
    CWinThread* pThread = nullptr;
    HANDLE hThread = StartSuspended(Throw, nullptr, THREAD_PRIORITY_NORMAL, &pThread);
    ASSERT_NE(nullptr, hThread);
    WatchForDelete(pThread);
    pThread->ResumeThread();
    EXPECT_EQ(kThreadExceptionExitCode, ExitCodeAfterEnd(hThread));
    EXPECT_TRUE(WatchedBlockDeleted());
}
