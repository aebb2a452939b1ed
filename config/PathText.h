// Turning the executable's full path into its directory.
#pragma once

// Ends path at its last backslash (the backslash becomes the terminator),
// scanning by code page 936 character. Returns false, leaving path as it
// was, when it holds no backslash.
bool CutAtLastBackslash(char* path);
