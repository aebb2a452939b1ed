#include "framework/CString.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

// One heap block: the header, then the bytes and their terminator.
struct CString::Data {
    std::atomic<int> nRefs;
    int nLength;
    char* chars() { return reinterpret_cast<char*>(this + 1); }
};

CString::Data* CString::Allocate(int nLength)
{
    void* p = ::operator new(sizeof(Data) + static_cast<size_t>(nLength) + 1);
    Data* pData = new (p) Data;
    pData->nRefs.store(1, std::memory_order_relaxed);
    pData->nLength = nLength;
    pData->chars()[nLength] = '\0';
    return pData;
}

void CString::Release(Data* pData)
{
    if (pData != nullptr && pData->nRefs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        pData->~Data();
        ::operator delete(pData);
    }
}

CString::CString() : m_pData(nullptr) {}

CString::CString(const char* psz) : m_pData(nullptr)
{
    if (psz != nullptr)
        Assign(psz, static_cast<int>(std::strlen(psz)));
}

CString::CString(const char* pch, int nLength) : m_pData(nullptr)
{
    if (pch != nullptr && nLength > 0)
        Assign(pch, nLength);
}

CString::CString(const CString& other) : m_pData(other.m_pData)
{
    if (m_pData != nullptr)
        m_pData->nRefs.fetch_add(1, std::memory_order_relaxed);
}

CString::CString(CString&& other) noexcept : m_pData(other.m_pData)
{
    other.m_pData = nullptr;
}

CString::~CString()
{
    Release(m_pData);
}

CString& CString::operator=(const CString& other)
{
    if (m_pData != other.m_pData) {
        if (other.m_pData != nullptr)
            other.m_pData->nRefs.fetch_add(1, std::memory_order_relaxed);
        Release(m_pData);
        m_pData = other.m_pData;
    }
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other) {
        Release(m_pData);
        m_pData = other.m_pData;
        other.m_pData = nullptr;
    }
    return *this;
}

CString& CString::operator=(const char* psz)
{
    CString copy(psz);  // psz may point into this string
    return *this = std::move(copy);
}

CString& CString::operator+=(const CString& other)
{
    Append(other.GetString(), other.GetLength());
    return *this;
}

CString& CString::operator+=(const char* psz)
{
    CString copy(psz);  // psz may point into this string
    return *this += copy;
}

CString& CString::operator+=(char ch)
{
    Append(&ch, 1);
    return *this;
}

int CString::GetLength() const
{
    return m_pData != nullptr ? m_pData->nLength : 0;
}

bool CString::IsEmpty() const
{
    return GetLength() == 0;
}

void CString::Empty()
{
    Release(m_pData);
    m_pData = nullptr;
}

CString::operator const char*() const
{
    return GetString();
}

const char* CString::GetString() const
{
    return m_pData != nullptr ? m_pData->chars() : "";
}

char CString::GetAt(int nIndex) const
{
    return (nIndex >= 0 && nIndex < GetLength()) ? GetString()[nIndex] : '\0';
}

int CString::Compare(const char* psz) const
{
    return std::strcmp(GetString(), psz != nullptr ? psz : "");
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const
{
    int nLength = GetLength();
    if (nCount >= nLength)
        return *this;
    if (nCount <= 0)
        return CString();
    return CString(GetString() + nLength - nCount, nCount);
}

CString CString::Mid(int nFirst, int nCount) const
{
    int nLength = GetLength();
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst > nLength)
        nFirst = nLength;
    if (nCount > nLength - nFirst)
        nCount = nLength - nFirst;
    if (nFirst == 0 && nCount == nLength)
        return *this;
    return CString(GetString() + nFirst, nCount);
}

int CString::Remove(char ch)
{
    const char* src = GetString();
    int nLength = GetLength();
    int nKept = 0;
    for (int i = 0; i < nLength; ++i)
        if (src[i] != ch)
            ++nKept;
    if (nKept == nLength)
        return 0;
    CString result;
    char* dst = result.PrepareWrite(nKept);
    for (int i = 0; i < nLength; ++i)
        if (src[i] != ch)
            *dst++ = src[i];
    *this = std::move(result);
    return nLength - nKept;
}

static bool IsSpace(char ch)
{
    return std::isspace(static_cast<unsigned char>(ch)) != 0;
}

CString& CString::TrimLeft()
{
    const char* s = GetString();
    int nSkip = 0;
    while (nSkip < GetLength() && IsSpace(s[nSkip]))
        ++nSkip;
    if (nSkip > 0)
        *this = Mid(nSkip, GetLength() - nSkip);
    return *this;
}

CString& CString::TrimRight()
{
    const char* s = GetString();
    int nKeep = GetLength();
    while (nKeep > 0 && IsSpace(s[nKeep - 1]))
        --nKeep;
    if (nKeep < GetLength())
        *this = Left(nKeep);
    return *this;
}

void CString::Format(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(const char* pszFormat, va_list args)
{
    va_list measure;
    va_copy(measure, args);
    int nLength = std::vsnprintf(nullptr, 0, pszFormat, measure);
    va_end(measure);
    if (nLength <= 0) {
        Empty();
        return;
    }
    CString result;
    char* dst = result.PrepareWrite(nLength);
    std::vsnprintf(dst, static_cast<size_t>(nLength) + 1, pszFormat, args);
    *this = std::move(result);
}

void CString::Append(const char* pch, int nLength)
{
    if (nLength <= 0)
        return;
    int nOld = GetLength();
    Data* pNew = Allocate(nOld + nLength);
    std::memcpy(pNew->chars(), GetString(), static_cast<size_t>(nOld));
    std::memcpy(pNew->chars() + nOld, pch, static_cast<size_t>(nLength));
    Release(m_pData);
    m_pData = pNew;
}

void CString::Assign(const char* pch, int nLength)
{
    if (nLength <= 0) {
        Empty();
        return;
    }
    char* dst = PrepareWrite(nLength);
    std::memcpy(dst, pch, static_cast<size_t>(nLength));
}

char* CString::PrepareWrite(int nLength)
{
    Release(m_pData);
    m_pData = nullptr;
    if (nLength <= 0)
        return nullptr;
    m_pData = Allocate(nLength);
    return m_pData->chars();
}

bool operator==(const CString& a, const CString& b)
{
    return a.GetLength() == b.GetLength() && a.Compare(b) == 0;
}

bool operator==(const CString& a, const char* b)
{
    return a.Compare(b) == 0;
}

bool operator==(const char* a, const CString& b)
{
    return b.Compare(a) == 0;
}

bool operator!=(const CString& a, const CString& b)
{
    return !(a == b);
}

bool operator!=(const CString& a, const char* b)
{
    return !(a == b);
}

CString operator+(const CString& a, const char* b)
{
    return a + CString(b);
}

CString operator+(const char* a, const CString& b)
{
    return CString(a) + b;
}

CString operator+(const CString& a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}
