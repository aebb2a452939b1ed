#include "bench/BareReadLoop.h"

#include <windows.h>
#include <wininet.h>

#include "bench/Stopwatch.h"
#include "download/HttpGetRequest.h"
#include "framework/File.h"

namespace {

constexpr DWORD kBlockSize = 16384;
constexpr DWORD kTimeoutMs = 30000;
// The cache flags the program uses: without them WinINet also writes the
// body into its cache.
constexpr DWORD kRequestFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;

// Where blocks go; opened before the clock starts, as the download opens
// its file before reading.
class Sink {
public:
    Sink(BlockSink kind, const std::string& path) : m_kind(kind)
    {
        if (kind == BlockSink::WriteFile)
            m_hFile = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        else if (kind == BlockSink::CFile)
            m_file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    }
    ~Sink() { Close(); }
    Sink(const Sink&) = delete;
    Sink& operator=(const Sink&) = delete;

    void Put(const char* pData, DWORD dwSize)
    {
        DWORD dwWritten = 0;
        if (m_kind == BlockSink::WriteFile)
            WriteFile(m_hFile, pData, dwSize, &dwWritten, nullptr);
        else if (m_kind == BlockSink::CFile)
            m_file.Write(pData, dwSize);
    }

    // Seconds that closing the file took: on ext4 under Wine this starts the
    // write-back of the whole file, which the download's completion waits for.
    double Close()
    {
        LARGE_INTEGER start = Now();
        if (m_hFile != INVALID_HANDLE_VALUE)
            CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
        m_file.Abort();  // closes without throwing: this runs in the destructor too
        return Seconds(start, Now());
    }

private:
    BlockSink m_kind;
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    CFile m_file;
};

// An open request of either path, read block by block.
class Request {
public:
    Request(RequestPath requestPath, const std::string& url)
    {
        if (requestPath == RequestPath::Connect) {
            m_bOpen = m_connected.Open(url.c_str(), kTimeoutMs) == HttpGetRequest::OpenResult::Ok;
            return;
        }
        m_hInternet = InternetOpenA("bench", INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY, nullptr, nullptr, 0);
        m_hUrl = InternetOpenUrlA(m_hInternet, url.c_str(), nullptr, 0, kRequestFlags, 0);
        m_bOpen = m_hUrl != nullptr;
    }
    ~Request()
    {
        if (m_hUrl != nullptr)
            InternetCloseHandle(m_hUrl);
        if (m_hInternet != nullptr)
            InternetCloseHandle(m_hInternet);
    }
    Request(const Request&) = delete;
    Request& operator=(const Request&) = delete;

    bool IsOpen() const { return m_bOpen; }
    BOOL Read(char* pBuffer, DWORD* pdwRead) const
    {
        return m_hUrl != nullptr ? InternetReadFile(m_hUrl, pBuffer, kBlockSize, pdwRead)
                                 : m_connected.Read(pBuffer, kBlockSize, pdwRead);
    }

private:
    HttpGetRequest m_connected;
    HINTERNET m_hInternet = nullptr;
    HINTERNET m_hUrl = nullptr;
    bool m_bOpen = false;
};

// Reads the whole body into sink and closes it; the number of bytes read,
// or -1 when the request could not be made.
int64_t ReadAll(RequestPath requestPath, BlockSink sink, const std::string& url, const std::string& path,
                double* pCloseSeconds)
{
    static char buffer[kBlockSize];
    Request request(requestPath, url);
    if (!request.IsOpen())
        return -1;
    Sink out(sink, path);
    int64_t total = 0;
    DWORD dwRead = 0;
    while (request.Read(buffer, &dwRead) && dwRead != 0) {
        out.Put(buffer, dwRead);
        total += dwRead;
    }
    *pCloseSeconds = out.Close();
    return total;
}

}  // namespace

BareLoopTimes BareReadLoop(RequestPath requestPath, BlockSink sink, const std::string& url,
                           const std::string& path, uint64_t length)
{
    // From the request to the file closed, as a download is timed.
    BareLoopTimes times{-1, 0};
    LARGE_INTEGER start = Now();
    int64_t total = ReadAll(requestPath, sink, url, path, &times.closeSeconds);
    if (total == static_cast<int64_t>(length))
        times.seconds = Seconds(start, Now());
    return times;
}
