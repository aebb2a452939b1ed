// Scanning of code page 936 (GBK) text by character rather than by byte.
// A lead byte 0x81-0xFE starts a two-byte character whose trail byte may be
// any value 0x40-0xFE, a backslash (0x5C) included: a byte-wise search for
// '\\' or '/' can land inside such a character.
#pragma once

#include <cstddef>

bool IsGbkLeadByte(unsigned char byte);

// Byte offset of the last single-byte character ch in text, or -1.
int GbkFindLast(const char* text, char ch);

// True when any single-byte character of text appears in chars.
bool GbkContainsAny(const char* text, const char* chars);

// Length in bytes of the longest prefix of text that holds at most maxBytes
// bytes and does not end inside a two-byte character.
size_t GbkPrefixLength(const char* text, size_t maxBytes);
