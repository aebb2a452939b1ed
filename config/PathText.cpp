#include "config/PathText.h"

#include "framework/Gbk.h"

bool CutAtLastBackslash(char* path)
{
    int at = GbkFindLast(path, '\\');
    if (at < 0)
        return false;
    path[at] = '\0';
    return true;
}
