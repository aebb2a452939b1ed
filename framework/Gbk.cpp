#include "framework/Gbk.h"

#include <cstring>

bool IsGbkLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

// Bytes taken by the character at text: 2 for a lead byte followed by a
// trail byte, else 1 (a lone lead byte before the terminator counts alone).
static size_t CharSize(const char* text)
{
    return IsGbkLeadByte(static_cast<unsigned char>(text[0])) && text[1] != '\0' ? 2 : 1;
}

int GbkFindLast(const char* text, char ch)
{
    int found = -1;
    for (const char* p = text; *p != '\0'; p += CharSize(p)) {
        if (CharSize(p) == 1 && *p == ch)
            found = static_cast<int>(p - text);
    }
    return found;
}

bool GbkContainsAny(const char* text, const char* chars)
{
    for (const char* p = text; *p != '\0'; p += CharSize(p)) {
        if (CharSize(p) == 1 && std::strchr(chars, *p) != nullptr)
            return true;
    }
    return false;
}

size_t GbkPrefixLength(const char* text, size_t maxBytes)
{
    size_t length = 0;
    while (text[length] != '\0') {
        size_t size = CharSize(text + length);
        if (length + size > maxBytes)
            break;
        length += size;
    }
    return length;
}
