#include "framework/Process.h"

static AfxProcessSeams g_seams{};

void AfxSetProcessSeams(const AfxProcessSeams* pSeams)
{
    g_seams = pSeams != nullptr ? *pSeams : AfxProcessSeams{};
}

const char* AfxGetCommandLine()
{
    return g_seams.commandLine != nullptr ? g_seams.commandLine() : ::GetCommandLineA();
}

DWORD AfxGetModuleFileName(char* buffer, DWORD nSize)
{
    if (g_seams.moduleFileName != nullptr)
        return g_seams.moduleFileName(buffer, nSize);
    return ::GetModuleFileNameA(nullptr, buffer, nSize);
}

void AfxEndProcess(UINT nExitCode)
{
    if (g_seams.throwOnEndProcess)
        throw CProcessExit{nExitCode};
    ::ExitProcess(nExitCode);
}
