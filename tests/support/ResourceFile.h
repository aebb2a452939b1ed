// Reading a built exe's resources from the file, without running it: the
// exe is mapped as a data file, so the i686 exe reads in the x86_64 tests.
#pragma once

#include <windows.h>

#include <string>

// Windows path of a file that the build names by its Linux path
// ("/work/x" -> "Z:\work\x"); Windows paths pass unchanged.
std::string WindowsPathOf(const std::string& buildPath);

// UTF-16 text as code page 936 bytes, as the program's narrow texts are.
std::string Gbk(const std::wstring& text);

class ResourceFile {
public:
    explicit ResourceFile(const std::string& path);
    ~ResourceFile();
    ResourceFile(const ResourceFile&) = delete;
    ResourceFile& operator=(const ResourceFile&) = delete;

    bool IsOpen() const { return m_hModule != nullptr; }

    // The bytes of resource (type, id) in Chinese (Simplified, PRC); an
    // empty string when there is none in that language.
    std::string Bytes(LPCSTR type, WORD id) const;

private:
    HMODULE m_hModule;
};
