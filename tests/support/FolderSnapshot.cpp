#include "tests/support/FolderSnapshot.h"

#include <windows.h>

#include <algorithm>

#include "tests/support/TempDir.h"

namespace {

void AddTree(const std::string& folder, const std::string& prefix, FolderSnapshot& files)
{
    WIN32_FIND_DATAA entry;
    HANDLE hFind = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == "..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            AddTree(folder + "\\" + name, prefix + name + "\\", files);
        else
            files[prefix + name] = ReadFileBytes(folder + "\\" + name);
    } while (FindNextFileA(hFind, &entry));
    FindClose(hFind);
}

}  // namespace

FolderSnapshot SnapshotFolder(const std::string& folder)
{
    FolderSnapshot files;
    AddTree(folder, "", files);
    return files;
}

std::vector<std::string> FilesTouched(const FolderSnapshot& before, const FolderSnapshot& after)
{
    std::vector<std::string> touched;
    for (const auto& [name, bytes] : after) {
        auto it = before.find(name);
        if (it == before.end() || it->second != bytes)
            touched.push_back(name);
    }
    for (const auto& [name, bytes] : before) {
        if (after.count(name) == 0)
            touched.push_back(name);
    }
    std::sort(touched.begin(), touched.end());
    return touched;
}
