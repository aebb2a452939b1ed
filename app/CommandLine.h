// The command line as the program reads it: quotes dropped, white space
// trimmed, and the mode tag taken from its last three bytes.
#pragma once

#include "framework/CString.h"

// Every '"' removed, then trailing and leading white space.
CString CleanCommandLine(const char* rawCommandLine);

// The last three bytes of the cleaned command line, or all of it if shorter.
CString ModeTagOf(const CString& cleanedCommandLine);

// Mode tags and their tails, compared exactly and case-sensitively.
extern const char kModeLauncher[];     // "exe": no argument after the program
extern const char kModeInteractive[];  // "eck": failures and "up to date" are told
extern const char kModeQuiet[];        // "ery": silent unless there is news
extern const char kTailInteractive[];  // "ck"
extern const char kTailQuiet[];        // "ry"
