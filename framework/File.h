// CFile: a file opened through the kernel, and CFileException, the error
// that its operations raise.
//
// Error convention: Open reports failure by its result (and fills the
// optional exception record); Write and Close throw CFileException by
// value, caught as `const CFileException&`. Nothing is allocated for it.
#pragma once

#include <windows.h>

#include "framework/CString.h"

class CFileException {
public:
    enum Cause {
        none,
        genericException,
        fileNotFound,
        badPath,
        accessDenied,
        sharingViolation,
        diskFull,
    };

    CFileException() = default;
    CFileException(Cause cause, LONG lOsError, const CString& strFileName)
        : m_cause(cause), m_lOsError(lOsError), m_strFileName(strFileName) {}

    // The cause that matches a Win32 error code.
    static Cause OsErrorToCause(LONG lOsError);

    Cause m_cause = none;
    LONG m_lOsError = 0;  // the Win32 error code, 0 when none
    CString m_strFileName;
};

class CFile {
public:
    // Access, sharing and creation, combined with |. Without a share flag
    // the file is opened exclusively.
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,     // creates the file, or truncates it to 0 bytes
        modeNoTruncate = 0x2000, // with modeCreate: opens an existing file as it is
    };

    CFile() = default;
    // Closes a file still open, without reporting errors.
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // FALSE on failure; pError, when given, then describes it.
    BOOL Open(const char* pszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    // Writes all nCount bytes or throws CFileException.
    void Write(const void* lpBuf, UINT nCount);
    // Throws CFileException when the system reports an error on closing;
    // the file is closed in any case.
    void Close();
    // Closes without reporting errors: for paths that are failing already.
    void Abort();

    BOOL IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    CString m_strFileName;

private:
    [[noreturn]] void ThrowLastError() const;
};
