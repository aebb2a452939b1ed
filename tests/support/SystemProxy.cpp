#include "tests/support/SystemProxy.h"

#include <stdexcept>

#include "download/ConnectionState.h"

namespace {

const char kInternetSettings[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

void Check(LONG status, const char* what)
{
    if (status != ERROR_SUCCESS)
        throw std::runtime_error(std::string(what) + " failed with error " + std::to_string(status));
}

}  // namespace

ScopedSystemProxy::ScopedSystemProxy(const std::string& server, DWORD connectedFlags)
    : m_connectedFlags(connectedFlags)
{
    Check(RegCreateKeyExA(HKEY_CURRENT_USER, kInternetSettings, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                          &m_hKey, nullptr),
          "opening Internet Settings");
    m_enable = Save(m_hKey, "ProxyEnable");
    m_server = Save(m_hKey, "ProxyServer");
    const DWORD enable = 1;
    Check(RegSetValueExA(m_hKey, "ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable),
                         sizeof enable),
          "setting ProxyEnable");
    Check(RegSetValueExA(m_hKey, "ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                         static_cast<DWORD>(server.size() + 1)),
          "setting ProxyServer");
    SetConnectedStateSeam(&m_connectedFlags);
}

ScopedSystemProxy::~ScopedSystemProxy()
{
    SetConnectedStateSeam(nullptr);
    Restore(m_hKey, "ProxyEnable", m_enable);
    Restore(m_hKey, "ProxyServer", m_server);
    RegCloseKey(m_hKey);
}

ScopedSystemProxy::SavedValue ScopedSystemProxy::Save(HKEY hKey, const char* name)
{
    SavedValue value;
    char buffer[1024];
    DWORD size = sizeof buffer;
    LONG status = RegQueryValueExA(hKey, name, nullptr, &value.type, reinterpret_cast<BYTE*>(buffer), &size);
    if (status == ERROR_FILE_NOT_FOUND)
        return value;
    Check(status, name);  // a value that cannot be kept could not be put back
    value.present = true;
    value.bytes.assign(buffer, size);
    return value;
}

void ScopedSystemProxy::Restore(HKEY hKey, const char* name, const SavedValue& value)
{
    if (value.present)
        RegSetValueExA(hKey, name, 0, value.type, reinterpret_cast<const BYTE*>(value.bytes.data()),
                       static_cast<DWORD>(value.bytes.size()));
    else
        RegDeleteValueA(hKey, name);
}
