#include "config/IniFile.h"

#include <windows.h>

#include <vector>

CString ReadIniString(const char* path, const char* section, const char* key, int size)
{
    std::vector<char> buffer(static_cast<size_t>(size), '\0');
    DWORD n = ::GetPrivateProfileStringA(section, key, "", buffer.data(),
                                         static_cast<DWORD>(size), path);
    return CString(buffer.data(), static_cast<int>(n));
}

CString ReadIniString(const char* path, const IniKey& key)
{
    return ReadIniString(path, key.section, key.key, key.size);
}
