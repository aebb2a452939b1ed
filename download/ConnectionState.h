// The connection-state flags that choose WinINet's access type. Wine never
// reports INTERNET_CONNECTION_PROXY, so tests stand in for the system here
// to show the road through a proxy.
#pragma once

#include <windows.h>

// The flags InternetGetConnectedState reports; its result is not examined.
DWORD ConnectedStateFlags();

// Test seam: while pdwFlags is set, its value is reported instead of the
// system's; null restores the real call. The caller keeps it alive.
void SetConnectedStateSeam(const DWORD* pdwFlags);
