#include "download/ConnectionState.h"

#include <wininet.h>

#include <atomic>

// Set by a test's thread, read by download workers.
static std::atomic<const DWORD*> g_pdwSeamFlags{nullptr};

void SetConnectedStateSeam(const DWORD* pdwFlags)
{
    g_pdwSeamFlags = pdwFlags;
}

DWORD ConnectedStateFlags()
{
    if (const DWORD* pdwFlags = g_pdwSeamFlags.load())
        return *pdwFlags;
    DWORD dwFlags = 0;
    InternetGetConnectedState(&dwFlags, 0);
    return dwFlags;
}
