// A package for tests: records that it ran, and with which command line, in
// "<its own path>.ran", then ends.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH + 8];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    lstrcpyA(path + n, ".ran");
    if (FILE* f = std::fopen(path, "ab")) {
        std::fprintf(f, "ran %s\r\n", GetCommandLineA());
        std::fclose(f);
    }
    return 0;
}
