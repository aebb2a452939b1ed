#include "tests/support/ResourceFile.h"

#include <algorithm>
#include <vector>

std::string WindowsPathOf(const std::string& buildPath)
{
    if (buildPath.empty() || buildPath[0] != '/')
        return buildPath;
    std::string path = "Z:" + buildPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string Gbk(const std::wstring& text)
{
    if (text.empty())
        return "";
    int length = static_cast<int>(text.size());
    int size = WideCharToMultiByte(936, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::vector<char> bytes(static_cast<size_t>(size));
    WideCharToMultiByte(936, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    return std::string(bytes.begin(), bytes.end());
}

ResourceFile::ResourceFile(const std::string& path)
    : m_hModule(LoadLibraryExA(path.c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE))
{
}

ResourceFile::~ResourceFile()
{
    if (m_hModule != nullptr)
        FreeLibrary(m_hModule);
}

std::string ResourceFile::Bytes(LPCSTR type, WORD id) const
{
    const WORD chinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    HRSRC hInfo = FindResourceExA(m_hModule, type, MAKEINTRESOURCEA(id), chinesePrc);
    if (hInfo == nullptr)
        return "";
    HGLOBAL hData = LoadResource(m_hModule, hInfo);
    const char* data = static_cast<const char*>(LockResource(hData));
    return data != nullptr ? std::string(data, SizeofResource(m_hModule, hInfo)) : "";
}
