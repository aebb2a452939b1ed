#include "tests/signed/TestSigner.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "config/HexBytes.h"
#include "download/Sha256.h"

namespace {

constexpr ULONG kCoordinateSize = 32;

Sha256Digest DigestOf(const std::string& bytes)
{
    CSha256 hasher;
    hasher.Add(bytes.data(), bytes.size());
    Sha256Digest digest;
    if (!hasher.Finish(&digest))
        throw std::runtime_error("SHA-256 failed");
    return digest;
}

BCRYPT_ALG_HANDLE OpenEcdsa()
{
    BCRYPT_ALG_HANDLE hAlgorithm = nullptr;
    if (BCryptOpenAlgorithmProvider(&hAlgorithm, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0) < 0)
        throw std::runtime_error("no ECDSA P-256 provider");
    return hAlgorithm;
}

}  // namespace

TestSigner TestSigner::Publisher()
{
    // TEST_SIGNING_KEY: d, then X and Y; the private blob wants X, Y, then d.
    unsigned char dxy[3 * kCoordinateSize];
    if (!ParseHexBytes(TEST_SIGNING_KEY, dxy, sizeof dxy))
        throw std::runtime_error("TEST_SIGNING_KEY is not 96 bytes of hex");
    struct {
        BCRYPT_ECCKEY_BLOB header;
        unsigned char xyd[3 * kCoordinateSize];
    } blob{{BCRYPT_ECDSA_PRIVATE_P256_MAGIC, kCoordinateSize}, {}};
    memcpy(blob.xyd, dxy + kCoordinateSize, 2 * kCoordinateSize);
    memcpy(blob.xyd + 2 * kCoordinateSize, dxy, kCoordinateSize);
    BCRYPT_ALG_HANDLE hAlgorithm = OpenEcdsa();
    BCRYPT_KEY_HANDLE hKey = nullptr;
    if (BCryptImportKeyPair(hAlgorithm, nullptr, BCRYPT_ECCPRIVATE_BLOB, &hKey,
                            reinterpret_cast<PUCHAR>(&blob), sizeof blob, 0) < 0)
        throw std::runtime_error("the test key cannot be imported");
    return TestSigner(hAlgorithm, hKey);
}

TestSigner TestSigner::Stranger()
{
    BCRYPT_ALG_HANDLE hAlgorithm = OpenEcdsa();
    BCRYPT_KEY_HANDLE hKey = nullptr;
    if (BCryptGenerateKeyPair(hAlgorithm, &hKey, 256, 0) < 0 || BCryptFinalizeKeyPair(hKey, 0) < 0)
        throw std::runtime_error("no key pair could be made");
    return TestSigner(hAlgorithm, hKey);
}

TestSigner::TestSigner(TestSigner&& other) noexcept : m_hAlgorithm(other.m_hAlgorithm), m_hKey(other.m_hKey)
{
    other.m_hAlgorithm = nullptr;
    other.m_hKey = nullptr;
}

TestSigner::~TestSigner()
{
    if (m_hKey != nullptr)
        BCryptDestroyKey(m_hKey);
    if (m_hAlgorithm != nullptr)
        BCryptCloseAlgorithmProvider(m_hAlgorithm, 0);
}

std::string TestSigner::Sign(const std::string& bytes) const
{
    Sha256Digest digest = DigestOf(bytes);
    unsigned char signature[2 * kCoordinateSize];
    ULONG nWritten = 0;
    if (BCryptSignHash(m_hKey, nullptr, digest.bytes, Sha256Digest::kSize, signature, sizeof signature,
                       &nWritten, 0) < 0 ||
        nWritten != sizeof signature)
        throw std::runtime_error("signing failed");
    return std::string(reinterpret_cast<const char*>(signature), sizeof signature);
}

std::string Sha256Line(const std::string& bytes)
{
    Sha256Digest digest = DigestOf(bytes);
    std::string line = "sha256=";
    char hex[3];
    for (unsigned char byte : digest.bytes) {
        snprintf(hex, sizeof hex, "%02x", byte);
        line += hex;
    }
    return line;
}
