#include "app/CommandLine.h"

const char kModeLauncher[] = "exe";
const char kModeInteractive[] = "eck";
const char kModeQuiet[] = "ery";
const char kTailInteractive[] = "ck";
const char kTailQuiet[] = "ry";

CString CleanCommandLine(const char* rawCommandLine)
{
    CString line(rawCommandLine);
    line.Remove('"');
    line.TrimRight();
    line.TrimLeft();
    return line;
}

CString ModeTagOf(const CString& cleanedCommandLine)
{
    return cleanedCommandLine.Right(3);
}
