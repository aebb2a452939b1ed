// Checks on values from the update descriptor before the program acts on
// them: the descriptor comes over the network and the program runs with
// administrator rights.
#pragma once

#include <cstddef>

// A package name must name a file inside the install folder: not empty, not
// "." or "..", no '\\', '/' or ':' (scanned by code page 936 character), and
// not a device name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, with or
// without an extension).
bool IsSafePackageName(const char* name);

// True for an address that begins with "http://" or "https://", in any case.
bool IsWebAddress(const char* url);

// Copies text into a buffer of bufferSize bytes, cut on a character
// boundary so that it always fits with its terminator.
void CopyTextCut(char* buffer, size_t bufferSize, const char* text);
