// Trusts a test certificate authority in the current Wine prefix only: adds
// the DER certificate named on the command line to the prefix's ROOT store.
// Usage: TrustTestCa.exe CERT.der
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <vector>

namespace {

// A certificate is a few KiB; anything larger is not one.
constexpr DWORD kMaxCertificateBytes = 64 * 1024;

bool ReadCertificate(const char* pszPath, std::vector<BYTE>& bytes)
{
    HANDLE hFile = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    bytes.resize(kMaxCertificateBytes);
    DWORD dwRead = 0;
    BOOL bRead = ReadFile(hFile, bytes.data(), kMaxCertificateBytes, &dwRead, nullptr);
    CloseHandle(hFile);
    bytes.resize(dwRead);
    return bRead && dwRead > 0 && dwRead < kMaxCertificateBytes;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: TrustTestCa CERT.der\n");
        return 2;
    }
    std::vector<BYTE> der;
    if (!ReadCertificate(argv[1], der)) {
        std::fprintf(stderr, "TrustTestCa: cannot read a certificate from %s (error %lu)\n", argv[1],
                     GetLastError());
        return 1;
    }
    if (!CertAddEncodedCertificateToSystemStoreA("ROOT", der.data(), static_cast<DWORD>(der.size()))) {
        std::fprintf(stderr, "TrustTestCa: adding %s to ROOT failed (error 0x%08lx)\n", argv[1],
                     GetLastError());
        return 1;
    }
    return 0;
}
