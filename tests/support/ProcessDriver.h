// Driving programs as a user would: an install folder of their own, a
// process started with a given command line, its windows found by process
// id, texts read with WM_GETTEXT, buttons pressed, message boxes answered,
// and its exit status read. Every wait has a bound; a failed wait returns
// null or false so that the test can say what it was waiting for.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The folder of the test programs: Updater.exe (the test build), Zevi.exe
// (the stand-in main program) and RecordRun.exe, with a trailing backslash.
std::string TestBinDir();

// A fresh, empty folder under the temporary folder, removed with everything
// in it when the object goes.
class InstallFolder {
public:
    // tag becomes part of the folder's name. A pathLength longer than the
    // name gives pads the name to a path of exactly that many bytes (for
    // tests of long paths).
    explicit InstallFolder(const std::string& tag, size_t pathLength = 0);
    ~InstallFolder();
    InstallFolder(const InstallFolder&) = delete;
    InstallFolder& operator=(const InstallFolder&) = delete;

    // The folder's full path, without a trailing backslash.
    const std::string& Path() const { return m_path; }
    // Path() + "\" + relative.
    std::string operator/(const std::string& relative) const;

    // Copies TestBinDir() + program to relative (sub-folders are made);
    // returns the copy's full path.
    std::string CopyProgram(const char* program, const std::string& relative) const;
    // Writes text as the whole content of relative; returns its full path.
    std::string WriteFile(const std::string& relative, const std::string& text) const;
    // Makes the sub-folder relative and those above it.
    void MakeFolder(const std::string& relative) const;

private:
    std::string m_path;
};

bool FileExists(const std::string& path);
// The file's lines without their line ends; none when it is missing.
std::vector<std::string> ReadLines(const std::string& path);

// What a message box showed.
struct MessageBoxSeen {
    bool found;  // false: no box came while the test waited
    std::string caption;
    std::string text;
    HWND hOwner;
};

// A process started by a test. The destructor kills it if it still runs.
class TestProcess {
public:
    // Starts exePath with the whole command line commandLine (which should
    // begin with the program's path, quoted as the test wishes) in workDir
    // (empty: the exe's folder). Check Started() before using it.
    TestProcess(const std::string& exePath, const std::string& commandLine,
                const std::string& workDir = "");
    ~TestProcess();
    TestProcess(const TestProcess&) = delete;
    TestProcess& operator=(const TestProcess&) = delete;

    bool Started() const { return m_pi.hProcess != nullptr; }
    DWORD Id() const { return m_pi.dwProcessId; }
    HANDLE Handle() const { return m_pi.hProcess; }
    bool IsRunning() const;

    // The process's top-level windows (visible or not), in z-order.
    std::vector<HWND> Windows() const;
    // The first visible top-level window of the class (and title, unless
    // null) that appears within timeoutMs.
    HWND WaitForWindow(const char* className, const char* title, unsigned timeoutMs = 20000) const;
    // A visible dialog with the caption that holds a control with id
    // controlId (which tells one dialog from another of the same caption).
    HWND WaitForDialog(const char* caption, int controlId, unsigned timeoutMs = 20000) const;
    // A visible message box: a dialog whose text is the static control
    // 0xFFFF, with the given caption.
    HWND WaitForMessageBox(const char* caption, unsigned timeoutMs = 20000) const;

    // Waits for the next message box, reads it, presses its OK button and
    // waits until it has gone.
    MessageBoxSeen AnswerMessageBox(const char* caption, unsigned timeoutMs = 20000) const;
    // Answers every message box with OK, in the order they come, until the
    // process ends; false if it still runs after timeoutMs.
    bool AnswerMessageBoxesUntilExit(const char* caption, std::vector<MessageBoxSeen>* seen,
                                     unsigned timeoutMs = 20000) const;

    // Waits for the end; false if it still runs after timeoutMs.
    bool WaitForExit(unsigned timeoutMs = 20000) const;
    // The exit status; STILL_ACTIVE while it runs.
    DWORD ExitCode() const;
    void Kill() const;

private:
    PROCESS_INFORMATION m_pi{};
};

// Clicks a button as a user would: only a visible, enabled button can be
// pressed. Posts the click, so a busy or hung program does not block the
// test; false (and nothing sent) when the button cannot be pressed.
bool PressButton(HWND hDlg, int buttonId);

// Kills every process that owns a top-level window of the class and title
// and whose executable lies in folder: programs that a test's program
// started and that the test cannot otherwise reach.
void KillWindowOwnersIn(const char* className, const char* title, const std::string& folder);

// Ids of the running processes whose executable lies in folder (or below).
std::vector<DWORD> ProcessesRunningFrom(const std::string& folder);
