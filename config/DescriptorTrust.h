// The descriptor that the check verified, remembered by its SHA-256 so that
// every later reader acts only on those bytes. User-interface thread only.
#pragma once

#include "download/Sha256.h"

// Told when the descriptor's signature is missing or wrong, or when upt.cfg
// no longer holds the verified bytes.
extern const char kForgedDescriptorText[];

// upt.cfg (g_szDescriptorPath) now holds the bytes whose digest was verified.
void TrustDescriptor(const Sha256Digest& digest);
// Nothing on disk is trusted any more.
void DistrustDescriptor();

// True without a key built in; with one, true only while upt.cfg hashes to
// the trusted digest. Otherwise tells the user kForgedDescriptorText and
// returns false: the caller then reads nothing from the descriptor.
bool ConfirmDescriptorIntact();
