#include "tests/support/TempDir.h"

#include <windows.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>

TempDir::TempDir()
{
    static std::atomic<int> counter{0};
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    m_path = std::string(base) + "updater-test-" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(counter++);
    if (!CreateDirectoryA(m_path.c_str(), nullptr))
        throw std::runtime_error("cannot create " + m_path);
}

TempDir::~TempDir()
{
    WIN32_FIND_DATAA found;
    HANDLE hFind = FindFirstFileA(File("*").c_str(), &found);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileA(File(found.cFileName).c_str());
        } while (FindNextFileA(hFind, &found));
        FindClose(hFind);
    }
    RemoveDirectoryA(m_path.c_str());
}

std::string TempDir::File(const std::string& name) const
{
    return m_path + "\\" + name;
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<missing>";
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool CanOpenForReading(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}
