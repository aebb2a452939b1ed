// SHA-256 through the platform's CNG (bcrypt), fed block by block.
#pragma once

#include <windows.h>
#include <bcrypt.h>

#include <cstddef>

struct Sha256Digest {
    static constexpr size_t kSize = 32;
    unsigned char bytes[kSize];

    bool operator==(const Sha256Digest& other) const;
    bool operator!=(const Sha256Digest& other) const { return !(*this == other); }
};

class CSha256 {
public:
    CSha256();
    ~CSha256();
    CSha256(const CSha256&) = delete;
    CSha256& operator=(const CSha256&) = delete;

    void Add(const void* pData, size_t nLength);
    // The digest of everything added. False when CNG failed at any step:
    // the caller must then treat the data as unverified.
    bool Finish(Sha256Digest* pDigest);

private:
    BCRYPT_ALG_HANDLE m_hAlgorithm = nullptr;
    BCRYPT_HASH_HANDLE m_hHash = nullptr;
    bool m_bFailed = false;
};

// The digest of the file's bytes; false when it cannot be read whole.
bool HashFile(const char* pszPath, Sha256Digest* pDigest);
