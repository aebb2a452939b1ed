#include "download/Sha256.h"

#include <cstring>

namespace {

constexpr DWORD kFileBlockSize = 16384;

// BCryptHashData takes a ULONG length: larger inputs go in slices.
constexpr size_t kMaxSlice = 0x40000000;

bool Succeeded(NTSTATUS status)
{
    return status >= 0;
}

}  // namespace

bool Sha256Digest::operator==(const Sha256Digest& other) const
{
    return memcmp(bytes, other.bytes, kSize) == 0;
}

CSha256::CSha256()
{
    // Handles are made per hash (not BCRYPT_SHA256_ALG_HANDLE), which
    // Windows before 10 does not have.
    m_bFailed = !Succeeded(BCryptOpenAlgorithmProvider(&m_hAlgorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
                !Succeeded(BCryptCreateHash(m_hAlgorithm, &m_hHash, nullptr, 0, nullptr, 0, 0));
}

CSha256::~CSha256()
{
    if (m_hHash != nullptr)
        BCryptDestroyHash(m_hHash);
    if (m_hAlgorithm != nullptr)
        BCryptCloseAlgorithmProvider(m_hAlgorithm, 0);
}

void CSha256::Add(const void* pData, size_t nLength)
{
    auto* p = static_cast<PUCHAR>(const_cast<void*>(pData));
    while (!m_bFailed && nLength > 0) {
        size_t nSlice = nLength < kMaxSlice ? nLength : kMaxSlice;
        m_bFailed = !Succeeded(BCryptHashData(m_hHash, p, static_cast<ULONG>(nSlice), 0));
        p += nSlice;
        nLength -= nSlice;
    }
}

bool CSha256::Finish(Sha256Digest* pDigest)
{
    if (m_bFailed)
        return false;
    m_bFailed = true;  // a CNG hash cannot be finished twice
    return Succeeded(BCryptFinishHash(m_hHash, pDigest->bytes, Sha256Digest::kSize, 0));
}

bool HashFile(const char* pszPath, Sha256Digest* pDigest)
{
    HANDLE hFile = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    CSha256 hasher;
    char buffer[kFileBlockSize];
    DWORD dwRead = 0;
    BOOL bRead;
    while ((bRead = ReadFile(hFile, buffer, kFileBlockSize, &dwRead, nullptr)) && dwRead > 0)
        hasher.Add(buffer, dwRead);
    CloseHandle(hFile);
    return bRead && hasher.Finish(pDigest);
}
