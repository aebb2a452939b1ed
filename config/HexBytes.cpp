#include "config/HexBytes.h"

#include <cstring>

namespace {

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

bool ParseHexBytes(const char* text, unsigned char* out, size_t count)
{
    // strnlen bounds the scan: a longer text is refused without reading all of it.
    if (strnlen(text, 2 * count + 1) != 2 * count)
        return false;
    for (size_t i = 0; i < 2 * count; ++i) {
        if (HexDigitValue(text[i]) < 0)
            return false;
    }
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<unsigned char>(HexDigitValue(text[2 * i]) * 16 + HexDigitValue(text[2 * i + 1]));
    return true;
}
