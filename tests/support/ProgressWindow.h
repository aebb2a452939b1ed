// A real top-level window that receives download progress reports and
// shows each one as the main dialog does (speed text, percent text and
// progress bar), keeping a record of every report in the order handled.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

struct HandledReport {
    std::string speed;
    int percent;
    int inFlight;  // reports in flight when this one was handled, itself included
};

class ProgressWindow {
public:
    ProgressWindow();  // on the calling thread, which must pump its messages
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
    const std::vector<HandledReport>& Reports() const { return m_reports; }
    // Called for each report once it is shown, on the window's thread.
    void OnReport(std::function<void(const HandledReport&)> observer) { m_observer = std::move(observer); }

    // Handles messages on this thread until finished() holds and no report
    // is in flight any more; false after timeoutMs.
    bool PumpUntil(const std::function<bool()>& finished, unsigned timeoutMs = 60000);
    // The same, until the object hWait is signalled.
    bool PumpUntilSignalled(HANDLE hWait, unsigned timeoutMs = 60000);

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Show(LPARAM lParam);

    HWND m_hWnd = nullptr;
    HWND m_hSpeed = nullptr;
    HWND m_hPercent = nullptr;
    HWND m_hBar = nullptr;
    std::vector<HandledReport> m_reports;
    std::function<void(const HandledReport&)> m_observer;
};
