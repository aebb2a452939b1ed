// Notes when a file, written by someone else and held open without
// sharing, reaches its full length. Reads only its size from the
// directory, so it never disturbs the writer. Watches once Arm() is called.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

class LastByteWatch {
public:
    LastByteWatch(const std::string& path, uint64_t length);
    ~LastByteWatch();
    LastByteWatch(const LastByteWatch&) = delete;
    LastByteWatch& operator=(const LastByteWatch&) = delete;

    // Starts looking at the size, about once a millisecond.
    void Arm();
    // Waits for the watch to end; the moment the length was reached, or a
    // zero time when it never was (or the watch was never armed).
    LARGE_INTEGER Finish();

private:
    void Watch();

    std::string m_path;
    uint64_t m_length;
    HANDLE m_hArmed;
    std::atomic<bool> m_bStop{false};
    LARGE_INTEGER m_reached{};
    std::thread m_thread;
};
