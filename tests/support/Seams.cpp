#include "tests/support/Seams.h"

#include <windows.h>

#include <condition_variable>
#include <mutex>

#include "framework/MessageBox.h"
#include "framework/Process.h"

namespace {

std::mutex g_mutex;
std::condition_variable g_shown;
std::vector<std::string> g_boxes;
std::string g_commandLine;
std::string g_modulePath;

int RecordBox(const char* text, UINT)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_boxes.emplace_back(text);
    g_shown.notify_all();
    return IDOK;
}

const char* CommandLine()
{
    return g_commandLine.c_str();
}

// As GetModuleFileNameA under Wine: a path that does not fit fills the
// buffer without a terminator and returns its size.
DWORD ModuleFileName(char* buffer, DWORD nSize)
{
    DWORD length = static_cast<DWORD>(g_modulePath.size());
    if (length < nSize) {
        memcpy(buffer, g_modulePath.c_str(), length + 1);
        return length;
    }
    memcpy(buffer, g_modulePath.data(), nSize);
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
}

}  // namespace

ScopedSeams::ScopedSeams(const std::string& commandLine, const std::string& modulePath)
{
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_boxes.clear();
    }
    g_commandLine = commandLine;
    g_modulePath = modulePath;
    AfxProcessSeams seams{CommandLine, ModuleFileName, true};
    AfxSetProcessSeams(&seams);
    AfxSetMessageBoxHandler(RecordBox);
}

ScopedSeams::~ScopedSeams()
{
    AfxSetMessageBoxHandler(nullptr);
    AfxSetProcessSeams(nullptr);
}

std::vector<std::string> ScopedSeams::MessageBoxes()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_boxes;
}

bool ScopedSeams::WaitForMessageBoxes(size_t n, unsigned timeoutMs)
{
    std::unique_lock<std::mutex> lock(g_mutex);
    return g_shown.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [n] { return g_boxes.size() >= n; });
}
