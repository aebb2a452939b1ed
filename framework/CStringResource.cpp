// CString::LoadString, kept apart from CString.cpp so that the string class
// itself builds without <windows.h>.
#include <windows.h>

#include "framework/CString.h"
#include "framework/WinApp.h"

bool CString::LoadString(unsigned int nID)
{
    // A string resource holds at most 4,095 characters of UTF-16.
    char buffer[4096 * 2];
    int nLength = ::LoadStringA(AfxGetResourceHandle(), nID, buffer, sizeof buffer);
    *this = CString(buffer, nLength > 0 ? nLength : 0);
    return nLength > 0;
}
