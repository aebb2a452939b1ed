// CString: a reference-counted string of 8-bit characters (code page 936 at
// run time). Lengths, positions and substrings count bytes, not characters.
// Copies share one buffer until one of them is changed; the count is atomic
// so that a string may be handed from one thread to another.
#pragma once

#include <atomic>
#include <cstdarg>
#include <cstddef>

class CString {
public:
    CString();
    CString(const char* psz);  // NOLINT: implicit, as callers expect
    CString(const char* pch, int nLength);
    CString(const CString& other);
    CString(CString&& other) noexcept;
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(const char* psz);
    CString& operator+=(const CString& other);
    CString& operator+=(const char* psz);
    CString& operator+=(char ch);

    int GetLength() const;
    bool IsEmpty() const;
    void Empty();
    operator const char*() const;  // NOLINT: implicit, as callers expect
    const char* GetString() const;
    char GetAt(int nIndex) const;

    int Compare(const char* psz) const;  // byte-wise, like strcmp

    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString Mid(int nFirst, int nCount) const;

    // Removes every occurrence of ch; returns how many were removed.
    int Remove(char ch);
    // White space is what isspace() accepts in the "C" locale.
    CString& TrimLeft();
    CString& TrimRight();

    // printf-style formatting into this string, any length.
    void Format(const char* pszFormat, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    void FormatV(const char* pszFormat, va_list args);

    // Loads a string resource of the running module; false when it is missing.
    // Defined only in the Windows build.
    bool LoadString(unsigned int nID);

private:
    struct Data;
    Data* m_pData;

    static Data* Allocate(int nLength);
    static void Release(Data* pData);
    void Assign(const char* pch, int nLength);
    void Append(const char* pch, int nLength);
    char* PrepareWrite(int nLength);  // unshares and resizes, keeps nothing
};

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, const char* b);
bool operator==(const char* a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, const char* b);
CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
