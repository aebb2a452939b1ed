#include "config/PublisherSignature.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstring>

#include "config/UpdateKey.h"

namespace {

// BCRYPT_ECCPUBLIC_BLOB: the header, then X and Y.
struct PublicKeyBlob {
    BCRYPT_ECCKEY_BLOB header;
    unsigned char point[kUpdateKeySize];
};

bool Verify(BCRYPT_ALG_HANDLE hAlgorithm, const Sha256Digest& digest, const unsigned char* pSignature)
{
    PublicKeyBlob blob{};
    blob.header.dwMagic = BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
    blob.header.cbKey = kUpdateKeySize / 2;
    memcpy(blob.point, kUpdatePublicKey, kUpdateKeySize);
    BCRYPT_KEY_HANDLE hKey = nullptr;
    if (BCryptImportKeyPair(hAlgorithm, nullptr, BCRYPT_ECCPUBLIC_BLOB, &hKey,
                            reinterpret_cast<PUCHAR>(&blob), sizeof blob, 0) < 0)
        return false;
    NTSTATUS status = BCryptVerifySignature(hKey, nullptr, const_cast<PUCHAR>(digest.bytes), Sha256Digest::kSize,
                                            const_cast<PUCHAR>(pSignature), kSignatureSize, 0);
    BCryptDestroyKey(hKey);
    return status == 0;
}

}  // namespace

bool IsSignedByPublisher(const Sha256Digest& digest, const unsigned char* pSignature, size_t nLength)
{
    if (!kUpdateKeyBuiltIn || nLength != kSignatureSize)
        return false;
    BCRYPT_ALG_HANDLE hAlgorithm = nullptr;
    if (BCryptOpenAlgorithmProvider(&hAlgorithm, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0) < 0)
        return false;
    bool bValid = Verify(hAlgorithm, digest, pSignature);
    BCryptCloseAlgorithmProvider(hAlgorithm, 0);
    return bValid;
}
