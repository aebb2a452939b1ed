// Fetching the update descriptor into upt.cfg (g_szDescriptorPath).
#pragma once

#include <windows.h>

#include "framework/CString.h"

enum class DescriptorFetch {
    Ok,      // upt.cfg holds the descriptor (verified, when a key is built in)
    Failed,  // the descriptor could not be fetched or stored
    Forged,  // its signature is missing or not the publisher's
};

// Without a key built in, downloads url straight into upt.cfg. With one,
// downloads it to upt.cfg.new, fetches url + ".sig" into memory, verifies
// it and only then moves the file over upt.cfg and trusts its digest; on any
// failure upt.cfg.new is deleted and upt.cfg is left as it was, untrusted.
// The download routine's own messages are shown; none of this function's.
DescriptorFetch FetchDescriptor(HWND hNotifyWnd, const CString& strUrl);
