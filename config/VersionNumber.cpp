#include "config/VersionNumber.h"

#include <cctype>
#include <cstdlib>
#include <limits>
#include <string>

static bool IsDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

static const char* SkipSpace(const char* p)
{
    while (*p != '\0' && std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    return p;
}

// The longest prefix of p that reads as [sign] digits [. digits] [e [sign] digits].
static std::string DecimalPrefix(const char* p)
{
    std::string number;
    if (*p == '+' || *p == '-')
        number += *p++;
    bool anyDigit = false;
    for (; IsDigit(*p); ++p, anyDigit = true)
        number += *p;
    if (*p == '.') {
        number += *p++;
        for (; IsDigit(*p); ++p, anyDigit = true)
            number += *p;
    }
    if (!anyDigit)
        return std::string();
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        std::string exponent = "e";
        if (*q == '+' || *q == '-')
            exponent += *q++;
        if (IsDigit(*q)) {
            for (; IsDigit(*q); ++q)
                exponent += *q;
            number += exponent;
        }
    }
    return number;
}

float ParseVersionNumber(const char* text)
{
    std::string number = DecimalPrefix(SkipSpace(text != nullptr ? text : ""));
    if (number.empty())
        return 0.0f;
    // The prefix holds only characters that strtod reads alike in every locale
    // that uses '.'; this program never changes the C library's locale.
    double value = std::strtod(number.c_str(), nullptr);
    // Narrowing a value beyond the float range is undefined; such a version
    // number compares as infinitely large (or small), as the hardware would give.
    if (value > std::numeric_limits<float>::max())
        return std::numeric_limits<float>::infinity();
    if (value < -std::numeric_limits<float>::max())
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

int ParseInteger(const char* text)
{
    return std::atoi(text != nullptr ? text : "");
}
