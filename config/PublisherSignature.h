// The check of a detached signature against the built-in publisher key.
#pragma once

#include <cstddef>

#include "download/Sha256.h"

constexpr size_t kSignatureSize = 64;  // ECDSA P-256: r then s, big-endian

// True only when a key is built in and signature (exactly kSignatureSize
// bytes) is the publisher's ECDSA P-256 signature of digest.
bool IsSignedByPublisher(const Sha256Digest& digest, const unsigned char* pSignature, size_t nLength);
