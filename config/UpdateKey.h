// The publisher's public key, fixed when the exe is built (UPDATER_PUBLIC_KEY
// in CMake). With a key every descriptor must carry its signature and every
// download its SHA-256; without one the program trusts what it fetches.
#pragma once

constexpr int kUpdateKeySize = 64;  // P-256 point: X then Y, big-endian

extern const bool kUpdateKeyBuiltIn;
extern const unsigned char kUpdatePublicKey[kUpdateKeySize];
