// A small HTTP body fetched into memory, without a local file and without
// any message: a descriptor's detached signature.
#pragma once

#include <cstddef>

// Fetches url with the program's request into buffer. True with *pLength
// set when the whole body arrived and it holds at most capacity bytes;
// false on any failure, an error status and a longer body included.
bool FetchToMemory(const char* pszUrl, unsigned char* pBuffer, size_t nCapacity, size_t* pLength);
