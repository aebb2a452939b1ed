#include "app/Launcher.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "config/IniFile.h"
#include "config/PathText.h"
#include "framework/Gbk.h"
#include "framework/MessageBox.h"
#include "framework/Process.h"

const char kMainWindowClass[] = "ThunderRT6FormDC";
const char kMainWindowTitle[] = "Quillorn2019";
const char kOldMainWindowTitle[] = "Quillorn2016";

static void ReportNotFound(const char* path, DWORD dwError)
{
    CString text;
    text.Format("未找到%s！错误号:%d", path, static_cast<int>(dwError));
    AfxMessageBox(text, MB_OK);
}

bool ModulePathFits()
{
    char path[kModulePathSize];
    DWORD n = AfxGetModuleFileName(path, sizeof path);
    return n > 0 && n < sizeof path;
}

void ReportLongModulePath()
{
    // One byte more than is read, so that all bytes read count and a
    // character that straddles the limit is seen whole and dropped.
    char path[kModulePathSize + 1];
    DWORD n = AfxGetModuleFileName(path, kModulePathSize);
    path[n < kModulePathSize ? n : kModulePathSize] = '\0';
    path[GbkPrefixLength(path, kModulePathSize - 1)] = '\0';
    ReportNotFound(path, ERROR_FILENAME_EXCED_RANGE);
}

// Appends tail to the path in a kModulePathSize buffer. A path that would
// not fit is reported as far as it fits, and the process ends.
static void AppendOrStop(char* path, const char* tail)
{
    size_t used = std::strlen(path);
    size_t room = kModulePathSize - 1 - used;
    if (std::strlen(tail) <= room) {
        std::memcpy(path + used, tail, std::strlen(tail) + 1);
        return;
    }
    size_t fits = GbkPrefixLength(tail, room);
    std::memcpy(path + used, tail, fits);
    path[used + fits] = '\0';
    ReportNotFound(path, ERROR_FILENAME_EXCED_RANGE);
    AfxEndProcess(0);
}

// Opens a file search for exactly path; a failed search is reported with
// its error code and ends the process.
static HANDLE FindOrStop(const char* path)
{
    WIN32_FIND_DATAA found;
    HANDLE hFind = ::FindFirstFileA(path, &found);
    if (hFind == INVALID_HANDLE_VALUE) {
        DWORD dwError = ::GetLastError();
        ReportNotFound(path, dwError);
        AfxEndProcess(0);
    }
    return hFind;
}

static void BringForward(HWND hMain)
{
    ::ShowWindow(hMain, SW_SHOW);
    ::ShowWindow(hMain, SW_SHOWNORMAL);
    ::SetForegroundWindow(hMain);
}

void RunLauncher()
{
    if (HWND hMain = ::FindWindowA(kMainWindowClass, kMainWindowTitle)) {
        BringForward(hMain);
        AfxEndProcess(0);
    }

    char path[kModulePathSize];
    AfxGetModuleFileName(path, sizeof path);  // fits: checked before either mode runs
    CutAtLastBackslash(path);
    AppendOrStop(path, "\\config.ini");
    ::FindClose(FindOrStop(path));

    CString folder = ReadIniString(path, LocalConfig::folder);
    CutAtLastBackslash(path);
    AppendOrStop(path, "\\");
    AppendOrStop(path, folder);
    AppendOrStop(path, "\\Zevi.exe");

    HANDLE hFind = FindOrStop(path);
    ::ShellExecuteA(nullptr, nullptr, path, nullptr, nullptr, SW_SHOWNORMAL);
    ::FindClose(hFind);
    AfxEndProcess(0);
}
