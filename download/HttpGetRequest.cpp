#include "download/HttpGetRequest.h"

#include <mmsystem.h>

#include "download/ConnectionState.h"
#include "download/RedirectChain.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

// Sent with every request; the User-Agent line replaces the agent name
// given to InternetOpenA.
const char kRequestHeaders[] =
    "Accept: */*\r\n"
    "Accept-Language: zh-cn\r\n"
    "Accept-Encoding: ,deflate\r\n"
    "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR 1.1.4322)";
constexpr DWORD kRequestHeadersLength = 152;
static_assert(sizeof kRequestHeaders - 1 == kRequestHeadersLength, "the header text is 152 characters");

// Always from the server, asking caches on the way not to answer, and
// nothing written to the local cache. Redirects are followed hop by hop
// here, never by WinINet.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_AUTO_REDIRECT;

// The agent name is taken from the clock so that each call names its
// client anew; as a signed 32-bit number, as it always has been.
void FormatAgentName(char (&szAgent)[64])
{
    std::snprintf(szAgent, sizeof szAgent, "Agent%ld", static_cast<long>(timeGetTime()));
}

DWORD AccessType()
{
    return (ConnectedStateFlags() & INTERNET_CONNECTION_PROXY) != 0
               ? INTERNET_OPEN_TYPE_PRECONFIG
               : INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY;
}

void SetTimeouts(HINTERNET hInternet, DWORD dwTimeoutMs)
{
    for (DWORD dwOption : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                           INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionA(hInternet, dwOption, &dwTimeoutMs, sizeof dwTimeoutMs);
}

// The parts of a URL, in buffers sized to WinINet's own limits.
struct CrackedUrl {
    char szHost[INTERNET_MAX_HOST_NAME_LENGTH + 1];
    char szUser[INTERNET_MAX_USER_NAME_LENGTH + 1];
    char szPassword[INTERNET_MAX_PASSWORD_LENGTH + 1];
    char szPath[INTERNET_MAX_PATH_LENGTH + 1];
    char szExtra[INTERNET_MAX_PATH_LENGTH + 1];
    URL_COMPONENTSA parts;
};

bool CrackUrl(const char* pszUrl, CrackedUrl& url)
{
    url.parts = URL_COMPONENTSA{};
    url.parts.dwStructSize = sizeof url.parts;
    url.parts.lpszHostName = url.szHost;
    url.parts.dwHostNameLength = sizeof url.szHost;
    url.parts.lpszUserName = url.szUser;
    url.parts.dwUserNameLength = sizeof url.szUser;
    url.parts.lpszPassword = url.szPassword;
    url.parts.dwPasswordLength = sizeof url.szPassword;
    url.parts.lpszUrlPath = url.szPath;
    url.parts.dwUrlPathLength = sizeof url.szPath;
    url.parts.lpszExtraInfo = url.szExtra;
    url.parts.dwExtraInfoLength = sizeof url.szExtra;
    return InternetCrackUrlA(pszUrl, 0, 0, &url.parts) &&
           (url.parts.nScheme == INTERNET_SCHEME_HTTP || url.parts.nScheme == INTERNET_SCHEME_HTTPS);
}

const char* NullWhenEmpty(const char* psz)
{
    return *psz != '\0' ? psz : nullptr;
}

}  // namespace

HttpGetRequest::~HttpGetRequest()
{
    Close();
}

HttpGetRequest::OpenResult HttpGetRequest::Open(const char* pszUrl, DWORD dwTimeoutMs)
{
    const DWORD dwAccessType = AccessType();
    char szAgent[64];
    FormatAgentName(szAgent);
    m_hInternet = InternetOpenA(szAgent, dwAccessType, nullptr, nullptr, 0);
    if (m_hInternet == nullptr)
        return OpenResult::NoClient;
    RedirectChain chain(pszUrl);
    for (;;) {
        CrackedUrl url;
        if (!CrackUrl(chain.CurrentUrl(), url) || !SendRequest(url.parts, dwTimeoutMs))
            return OpenResult::Failed;
        const DWORD dwStatus = Status();
        // An error page must never become the file that was asked for.
        if (dwStatus >= 200 && dwStatus <= 299)
            return OpenResult::Ok;
        if (!IsRedirectStatus(dwStatus) || !FollowLocation(chain))
            return OpenResult::Failed;
        CloseHop();
    }
}

// Connect, open and send as InternetOpenUrlA does, so that the same bytes
// go out: its accept type, then the headers added, then a bare send.
bool HttpGetRequest::SendRequest(const URL_COMPONENTSA& url, DWORD dwTimeoutMs)
{
    DWORD dwFlags = kRequestFlags;
    if (url.nScheme == INTERNET_SCHEME_HTTPS)
        dwFlags |= INTERNET_FLAG_SECURE;
    m_hConnect = InternetConnectA(m_hInternet, url.lpszHostName, url.nPort, NullWhenEmpty(url.lpszUserName),
                                  NullWhenEmpty(url.lpszPassword), INTERNET_SERVICE_HTTP, dwFlags, 0);
    if (m_hConnect == nullptr)
        return false;
    SetTimeouts(m_hConnect, dwTimeoutMs);

    char szObject[2 * INTERNET_MAX_PATH_LENGTH + 1];
    std::snprintf(szObject, sizeof szObject, "%s%s", url.lpszUrlPath, url.lpszExtraInfo);
    const char* acceptTypes[] = {"*/*", nullptr};
    m_hRequest = HttpOpenRequestA(m_hConnect, nullptr, szObject, nullptr, nullptr, acceptTypes, dwFlags, 0);
    if (m_hRequest == nullptr)
        return false;

    char szHeaders[sizeof kRequestHeaders];  // WinINet is handed a copy it may write to
    std::memcpy(szHeaders, kRequestHeaders, sizeof kRequestHeaders);
    return HttpAddRequestHeadersA(m_hRequest, szHeaders, kRequestHeadersLength, HTTP_ADDREQ_FLAG_ADD) &&
           HttpSendRequestA(m_hRequest, nullptr, 0, nullptr, 0);
}

// 0 when the response carries no readable status.
DWORD HttpGetRequest::Status() const
{
    DWORD dwStatus = 0;
    DWORD dwSize = sizeof dwStatus;
    if (!HttpQueryInfoA(m_hRequest, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwStatus, &dwSize,
                        nullptr))
        return 0;
    return dwStatus;
}

// A redirect without a Location, or with one longer than a URL may be, is
// a dead end.
bool HttpGetRequest::FollowLocation(RedirectChain& chain) const
{
    char szLocation[INTERNET_MAX_URL_LENGTH + 1];
    DWORD dwSize = sizeof szLocation;
    return HttpQueryInfoA(m_hRequest, HTTP_QUERY_LOCATION, szLocation, &dwSize, nullptr) &&
           chain.Follow(szLocation);
}

DWORD HttpGetRequest::AnnouncedLength() const
{
    DWORD dwLength = 0;
    DWORD dwSize = sizeof dwLength;
    if (!HttpQueryInfoA(m_hRequest, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &dwLength, &dwSize,
                        nullptr))
        return 0;
    return dwLength;
}

BOOL HttpGetRequest::Read(void* pBuffer, DWORD dwSize, DWORD* pdwRead) const
{
    return InternetReadFile(m_hRequest, pBuffer, dwSize, pdwRead);
}

bool HttpGetRequest::IsTimeout(DWORD dwError)
{
    // Wine reports a receive timeout with the socket's own error code.
    return dwError == ERROR_INTERNET_TIMEOUT || dwError == WSAETIMEDOUT;
}

void HttpGetRequest::Close()
{
    CloseHop();
    ReleaseHandle(m_hInternet);
}

void HttpGetRequest::CloseHop()
{
    ReleaseHandle(m_hRequest);
    ReleaseHandle(m_hConnect);
}

void HttpGetRequest::ReleaseHandle(HINTERNET& hHandle)
{
    if (hHandle != nullptr)
        InternetCloseHandle(hHandle);
    hHandle = nullptr;
}
