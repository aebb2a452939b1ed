// AfxMessageBox: a message box with the application's name as caption,
// shown on the calling thread and owned by the main window when there is
// one (or by the box open over it), so that it never hides behind the
// topmost dialog.
#pragma once

#include <windows.h>

int AfxMessageBox(const char* text, UINT nType = MB_OK, UINT nIDHelp = 0);

// Test seam: while set, the handler is called instead of showing a box, and
// its answer is returned. It may be called from any thread.
using AfxMessageBoxHandler = int (*)(const char* text, UINT nType);
void AfxSetMessageBoxHandler(AfxMessageBoxHandler handler);
