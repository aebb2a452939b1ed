#include "tests/support/ProcessDriver.h"

#include <tlhelp32.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "tests/support/DialogHost.h"

namespace {

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\'));
}

// Deletes path and, if it is a folder, everything in it.
void RemoveTree(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA entry;
    HANDLE hFind = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name != "." && name != "..")
                RemoveTree(path + "\\" + name);
        } while (FindNextFileA(hFind, &entry));
        FindClose(hFind);
    }
    RemoveDirectoryA(path.c_str());
}

std::string ClassName(HWND hWnd)
{
    char name[64] = {};
    GetClassNameA(hWnd, name, sizeof name);
    return name;
}

// A top-level window's title. Unlike WM_GETTEXT, GetWindowTextA reads
// another process's title without a message, so a hung program cannot
// block the test.
std::string Title(HWND hWnd)
{
    char title[256] = {};
    GetWindowTextA(hWnd, title, sizeof title);
    return title;
}

struct WindowsOfProcess {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindowOfProcess(HWND hWnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowsOfProcess*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(hWnd, &processId);
    if (processId == search->processId)
        search->found.push_back(hWnd);
    return TRUE;
}

BOOL CALLBACK CollectEveryWindow(HWND hWnd, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

bool IsMessageBox(HWND hWnd, const char* caption)
{
    return ClassName(hWnd) == "#32770" && IsWindowVisible(hWnd) && Title(hWnd) == caption &&
           GetDlgItem(hWnd, 0xFFFF) != nullptr;
}

std::string ImagePathOf(DWORD processId)
{
    HANDLE hProcess = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (hProcess == nullptr)
        return "";
    char path[MAX_PATH] = {};
    DWORD size = sizeof path;
    std::string image = QueryFullProcessImageNameA(hProcess, 0, path, &size) ? path : "";
    CloseHandle(hProcess);
    return image;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.data(),
                          static_cast<int>(prefix.size()), prefix.data(),
                          static_cast<int>(prefix.size())) == CSTR_EQUAL;
}

}  // namespace

std::string TestBinDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return FolderOf(path) + "\\bin\\";
}

InstallFolder::InstallFolder(const std::string& tag, size_t pathLength)
{
    static std::atomic<int> counter{0};
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    // Wine soon gives a process id again, so a folder of this name may be
    // left by an earlier test process: only a folder made here is used.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::ostringstream name;
        name << temp << "upd-" << tag << '-' << GetCurrentProcessId() << '-' << counter++;
        m_path = name.str();
        if (m_path.size() < pathLength)
            m_path.append(pathLength - m_path.size(), 'p');
        if (CreateDirectoryA(m_path.c_str(), nullptr))
            return;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    throw std::runtime_error("cannot make a new folder " + m_path + ", error " +
                             std::to_string(GetLastError()));
}

InstallFolder::~InstallFolder()
{
    RemoveTree(m_path);
}

std::string InstallFolder::operator/(const std::string& relative) const
{
    return m_path + "\\" + relative;
}

void InstallFolder::MakeFolder(const std::string& relative) const
{
    size_t at = 0;
    while (at != std::string::npos) {
        at = relative.find('\\', at + 1);
        CreateDirectoryA((*this / relative.substr(0, at)).c_str(), nullptr);
    }
}

std::string InstallFolder::CopyProgram(const char* program, const std::string& relative) const
{
    if (relative.find('\\') != std::string::npos)
        MakeFolder(FolderOf(relative));
    std::string target = *this / relative;
    std::string source = TestBinDir() + program;
    if (!CopyFileA(source.c_str(), target.c_str(), FALSE))
        throw std::runtime_error("cannot copy " + source + " to " + target + ", error " +
                                 std::to_string(GetLastError()));
    return target;
}

std::string InstallFolder::WriteFile(const std::string& relative, const std::string& text) const
{
    std::string target = *this / relative;
    std::ofstream(target, std::ios::binary) << text;
    return target;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

TestProcess::TestProcess(const std::string& exePath, const std::string& commandLine,
                         const std::string& workDir)
{
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    std::string dir = workDir.empty() ? FolderOf(exePath) : workDir;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (!CreateProcessA(exePath.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.c_str(), &si, &m_pi)) {
        // Tests check Started(); this says why it is false.
        std::fprintf(stderr, "cannot start %s: error %lu\n", exePath.c_str(), GetLastError());
        m_pi = PROCESS_INFORMATION{};
    }
}

TestProcess::~TestProcess()
{
    if (!Started())
        return;
    Kill();
    CloseHandle(m_pi.hThread);
    CloseHandle(m_pi.hProcess);
}

bool TestProcess::IsRunning() const
{
    return Started() && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> TestProcess::Windows() const
{
    WindowsOfProcess search{m_pi.dwProcessId, {}};
    EnumWindows(CollectWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND TestProcess::WaitForWindow(const char* className, const char* title, unsigned timeoutMs) const
{
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND hWnd : Windows()) {
            if (ClassName(hWnd) == className && IsWindowVisible(hWnd) &&
                (title == nullptr || Title(hWnd) == title)) {
                found = hWnd;
                return true;
            }
        }
        return !IsRunning();
    }, timeoutMs);
    return found;
}

HWND TestProcess::WaitForDialog(const char* caption, int controlId, unsigned timeoutMs) const
{
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND hWnd : Windows()) {
            if (ClassName(hWnd) == "#32770" && IsWindowVisible(hWnd) &&
                Title(hWnd) == caption && GetDlgItem(hWnd, controlId) != nullptr) {
                found = hWnd;
                return true;
            }
        }
        return !IsRunning();
    }, timeoutMs);
    return found;
}

HWND TestProcess::WaitForMessageBox(const char* caption, unsigned timeoutMs) const
{
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND hWnd : Windows()) {
            if (IsMessageBox(hWnd, caption)) {
                found = hWnd;
                return true;
            }
        }
        return !IsRunning();
    }, timeoutMs);
    return found;
}

MessageBoxSeen TestProcess::AnswerMessageBox(const char* caption, unsigned timeoutMs) const
{
    HWND hBox = WaitForMessageBox(caption, timeoutMs);
    if (hBox == nullptr)
        return MessageBoxSeen{false, "", "", nullptr};
    MessageBoxSeen seen{true, Title(hBox), WindowText(GetDlgItem(hBox, 0xFFFF)),
                        GetWindow(hBox, GW_OWNER)};
    PressButton(hBox, IDOK);
    WaitUntil([&] { return !IsWindow(hBox) || !IsWindowVisible(hBox); }, timeoutMs);
    return seen;
}

bool TestProcess::AnswerMessageBoxesUntilExit(const char* caption,
                                              std::vector<MessageBoxSeen>* seen,
                                              unsigned timeoutMs) const
{
    DWORD start = GetTickCount();
    while (IsRunning()) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed > timeoutMs)
            return false;
        MessageBoxSeen box = AnswerMessageBox(caption, timeoutMs - elapsed);
        if (box.found)
            seen->push_back(box);
    }
    return true;
}

bool TestProcess::WaitForExit(unsigned timeoutMs) const
{
    return Started() && WaitForSingleObject(m_pi.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD TestProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_pi.hProcess, &code);
    return code;
}

void TestProcess::Kill() const
{
    if (IsRunning()) {
        TerminateProcess(m_pi.hProcess, 1);
        WaitForSingleObject(m_pi.hProcess, 10000);
    }
}

bool PressButton(HWND hDlg, int buttonId)
{
    HWND hButton = GetDlgItem(hDlg, buttonId);
    if (hButton == nullptr || !IsWindowVisible(hButton) || !IsWindowEnabled(hButton))
        return false;
    return PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                        reinterpret_cast<LPARAM>(hButton)) != FALSE;
}

void KillWindowOwnersIn(const char* className, const char* title, const std::string& folder)
{
    std::vector<HWND> windows;
    EnumWindows(CollectEveryWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND hWnd : windows) {
        if (ClassName(hWnd) != className || Title(hWnd) != title)
            continue;
        DWORD processId = 0;
        GetWindowThreadProcessId(hWnd, &processId);
        if (!StartsWithIgnoringCase(ImagePathOf(processId), folder + "\\"))
            continue;
        if (HANDLE hProcess = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId)) {
            TerminateProcess(hProcess, 1);
            WaitForSingleObject(hProcess, 10000);
            CloseHandle(hProcess);
        }
    }
}

std::vector<DWORD> ProcessesRunningFrom(const std::string& folder)
{
    std::vector<DWORD> found;
    HANDLE hSnapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE)
        return found;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(hSnapshot, &entry); more; more = Process32Next(hSnapshot, &entry)) {
        if (StartsWithIgnoringCase(ImagePathOf(entry.th32ProcessID), folder + "\\"))
            found.push_back(entry.th32ProcessID);
    }
    CloseHandle(hSnapshot);
    return found;
}
