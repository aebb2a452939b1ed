// Stands in, for one test, for the process-wide facts and actions of the
// framework: message boxes are recorded and answered OK without a window,
// the command line and the module path are the test's, and ending the
// process throws CProcessExit instead.
#pragma once

#include <string>
#include <vector>

class ScopedSeams {
public:
    ScopedSeams(const std::string& commandLine, const std::string& modulePath);
    ~ScopedSeams();
    ScopedSeams(const ScopedSeams&) = delete;
    ScopedSeams& operator=(const ScopedSeams&) = delete;

    // Texts of the message boxes shown so far, in order, from any thread.
    static std::vector<std::string> MessageBoxes();
    // Waits until at least n boxes were shown; false after timeoutMs.
    static bool WaitForMessageBoxes(size_t n, unsigned timeoutMs = 20000);
};
