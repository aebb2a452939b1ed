#include "bench/LastByteWatch.h"

#include "bench/Stopwatch.h"

namespace {

uint64_t FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

LastByteWatch::LastByteWatch(const std::string& path, uint64_t length)
    : m_path(path), m_length(length), m_hArmed(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      m_thread([this] { Watch(); })
{
}

LastByteWatch::~LastByteWatch()
{
    Finish();
    CloseHandle(m_hArmed);
}

void LastByteWatch::Arm()
{
    SetEvent(m_hArmed);
}

LARGE_INTEGER LastByteWatch::Finish()
{
    if (m_thread.joinable()) {
        m_bStop = true;
        SetEvent(m_hArmed);
        m_thread.join();
    }
    return m_reached;
}

void LastByteWatch::Watch()
{
    WaitForSingleObject(m_hArmed, INFINITE);
    while (!m_bStop) {
        if (FileSize(m_path) >= m_length) {
            m_reached = Now();
            return;
        }
        Sleep(1);
    }
}
