// Byte strings written as hexadecimal text, as the descriptor pins a
// download by its SHA-256.
#pragma once

#include <cstddef>

// Parses text that is exactly 2 * count hex digits (either case, nothing
// else: no prefix, no spaces) into count bytes at out. False, with out
// untouched, for any other text.
bool ParseHexBytes(const char* text, unsigned char* out, size_t count);
