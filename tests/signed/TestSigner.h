// Signing descriptors inside the test, as the publisher tool does: ECDSA
// P-256 over SHA-256, raw r then s. The publisher's key is the test key
// built into the signed program; a stranger's key is made afresh.
#pragma once

#include <windows.h>
#include <bcrypt.h>

#include <string>

class TestSigner {
public:
    static TestSigner Publisher();
    static TestSigner Stranger();
    ~TestSigner();
    TestSigner(TestSigner&& other) noexcept;
    TestSigner(const TestSigner&) = delete;
    TestSigner& operator=(const TestSigner&) = delete;
    TestSigner& operator=(TestSigner&&) = delete;

    // The 64-byte signature of bytes; throws std::runtime_error when CNG fails.
    std::string Sign(const std::string& bytes) const;

private:
    TestSigner(BCRYPT_ALG_HANDLE hAlgorithm, BCRYPT_KEY_HANDLE hKey) : m_hAlgorithm(hAlgorithm), m_hKey(hKey) {}

    BCRYPT_ALG_HANDLE m_hAlgorithm;
    BCRYPT_KEY_HANDLE m_hKey;
};

// The descriptor line that pins bytes: "sha256=" and 64 lower-case hex digits.
std::string Sha256Line(const std::string& bytes);
