#include "actions/DescriptorChecks.h"

#include <cctype>
#include <cstring>
#include <initializer_list>
#include <string>

#include "framework/Gbk.h"

static std::string UpperAscii(std::string text)
{
    for (char& ch : text)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return text;
}

static bool StartsWithNoCase(const char* text, const char* prefix)
{
    size_t n = std::strlen(prefix);
    return std::strlen(text) >= n && UpperAscii(std::string(text, n)) == UpperAscii(prefix);
}

// The system resolves these names to devices in any folder, whatever
// extension follows them.
static bool IsDeviceName(const char* name)
{
    std::string base(name, std::strcspn(name, "."));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    base = UpperAscii(base);
    for (const char* device : {"CON", "PRN", "AUX", "NUL"})
        if (base == device)
            return true;
    bool numbered = base.size() == 4 && base[3] >= '1' && base[3] <= '9';
    return numbered && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0);
}

bool IsSafePackageName(const char* name)
{
    if (name[0] == '\0' || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return false;
    return !GbkContainsAny(name, "\\/:") && !IsDeviceName(name);
}

bool IsWebAddress(const char* url)
{
    return StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://");
}

void CopyTextCut(char* buffer, size_t bufferSize, const char* text)
{
    size_t length = GbkPrefixLength(text, bufferSize - 1);
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
}
