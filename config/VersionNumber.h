// Version numbers are decimal numbers, not dotted version strings.
#pragma once

// Reads text as the standard atof does in the "C" locale (leading white
// space, sign, digits, one decimal point, exponent; 0 without a leading
// number; the full stop is the separator whatever the regional settings),
// then narrows the result to a 32-bit float.
float ParseVersionNumber(const char* text);

// Reads text as the standard atoi does: white space, sign, digits; 0 without
// a leading number.
int ParseInteger(const char* text);
