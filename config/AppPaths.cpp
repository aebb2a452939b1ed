#include "config/AppPaths.h"

#include <windows.h>

#include "config/PathText.h"
#include "framework/Process.h"

char g_szAppDir[kPathBufferSize];
char g_szDescriptorPath[kPathBufferSize];
char g_szConfigPath[kPathBufferSize];
char g_szPackagePath[kPathBufferSize];

// The executable's path is read with this limit; a longer one stops the run
// at start-up, so the directory always has room for the names appended here.
constexpr DWORD kModulePathLimit = 200;

void DeriveAppDir(char* buffer)
{
    DWORD n = AfxGetModuleFileName(buffer, kModulePathLimit);
    buffer[n < kModulePathLimit ? n : kModulePathLimit - 1] = '\0';
    CutAtLastBackslash(buffer);
}

// Appends tail to a path buffer of kPathBufferSize bytes, never past its
// end. Given the limits above nothing is ever cut.
static void AppendToPath(char* path, const char* tail)
{
    size_t used = lstrlenA(path);
    lstrcpynA(path + used, tail, static_cast<int>(kPathBufferSize - used));
}

void FormInstallPaths()
{
    DeriveAppDir(g_szAppDir);
    lstrcpynA(g_szConfigPath, g_szAppDir, kPathBufferSize);
    lstrcpynA(g_szDescriptorPath, g_szAppDir, kPathBufferSize);
    AppendToPath(g_szConfigPath, "\\config.ini");
    AppendToPath(g_szDescriptorPath, "\\upt.cfg");
}

void FormPackagePath(const char* packageName)
{
    // At most 198 + 1 + 59 bytes and the terminator: exactly the buffer.
    DeriveAppDir(g_szPackagePath);
    AppendToPath(g_szPackagePath, "\\");
    AppendToPath(g_szPackagePath, packageName);
}
