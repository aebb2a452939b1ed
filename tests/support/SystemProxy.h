// The system's proxy as one test sets it: the Internet Settings of the
// test prefix's registry (HKCU), and the connection-state flags that the
// download engine reads, since Wine never reports a proxy itself. Both are
// put back as they were when the object goes.
#pragma once

#include <windows.h>

#include <string>

class ScopedSystemProxy {
public:
    // server: "host:port" as ProxyServer holds it. connectedFlags: what
    // InternetGetConnectedState is to report while this lives.
    ScopedSystemProxy(const std::string& server, DWORD connectedFlags);
    ~ScopedSystemProxy();
    ScopedSystemProxy(const ScopedSystemProxy&) = delete;
    ScopedSystemProxy& operator=(const ScopedSystemProxy&) = delete;

private:
    // One registry value as it was: its type and bytes, or absent.
    struct SavedValue {
        bool present = false;
        DWORD type = 0;
        std::string bytes;
    };
    static SavedValue Save(HKEY hKey, const char* name);
    static void Restore(HKEY hKey, const char* name, const SavedValue& value);

    HKEY m_hKey = nullptr;
    SavedValue m_enable;
    SavedValue m_server;
    DWORD m_connectedFlags;
};
