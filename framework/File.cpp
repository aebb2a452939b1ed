#include "framework/File.h"

namespace {

DWORD DesiredAccess(UINT nOpenFlags)
{
    switch (nOpenFlags & 0x3) {
    case CFile::modeWrite:
        return GENERIC_WRITE;
    case CFile::modeReadWrite:
        return GENERIC_READ | GENERIC_WRITE;
    default:
        return GENERIC_READ;
    }
}

DWORD ShareMode(UINT nOpenFlags)
{
    switch (nOpenFlags & 0x70) {
    case CFile::shareDenyWrite:
        return FILE_SHARE_READ;
    case CFile::shareDenyRead:
        return FILE_SHARE_WRITE;
    case CFile::shareDenyNone:
        return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default:  // shareExclusive, or no share flag at all
        return 0;
    }
}

DWORD CreationDisposition(UINT nOpenFlags)
{
    if ((nOpenFlags & CFile::modeCreate) == 0)
        return OPEN_EXISTING;
    return (nOpenFlags & CFile::modeNoTruncate) != 0 ? OPEN_ALWAYS : CREATE_ALWAYS;
}

}  // namespace

CFileException::Cause CFileException::OsErrorToCause(LONG lOsError)
{
    switch (lOsError) {
    case NO_ERROR:
        return none;
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return badPath;
    case ERROR_ACCESS_DENIED:
        return accessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return sharingViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return diskFull;
    default:
        return genericException;
    }
}

CFile::~CFile()
{
    Abort();
}

BOOL CFile::Open(const char* pszFileName, UINT nOpenFlags, CFileException* pError)
{
    Abort();
    m_hFile = ::CreateFileA(pszFileName, DesiredAccess(nOpenFlags), ShareMode(nOpenFlags), nullptr,
                            CreationDisposition(nOpenFlags), FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hFile == INVALID_HANDLE_VALUE) {
        LONG lOsError = static_cast<LONG>(::GetLastError());
        if (pError != nullptr)
            *pError = CFileException(CFileException::OsErrorToCause(lOsError), lOsError, pszFileName);
        return FALSE;
    }
    m_strFileName = pszFileName;
    return TRUE;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    DWORD written = 0;
    if (!::WriteFile(m_hFile, lpBuf, nCount, &written, nullptr))
        ThrowLastError();
    if (written != nCount)  // WriteFile on a disk file succeeds short only when the disk is full
        throw CFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
}

void CFile::Close()
{
    HANDLE hFile = m_hFile;
    m_hFile = INVALID_HANDLE_VALUE;
    if (hFile != INVALID_HANDLE_VALUE && !::CloseHandle(hFile))
        ThrowLastError();
}

void CFile::Abort()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
}

void CFile::ThrowLastError() const
{
    LONG lOsError = static_cast<LONG>(::GetLastError());
    throw CFileException(CFileException::OsErrorToCause(lOsError), lOsError, m_strFileName);
}
