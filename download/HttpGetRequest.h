// One HTTP GET made through WinINet with the program's fixed request
// headers and cache flags, bounded in time. Owns its handles and closes
// them on destruction.
//
// On the wire the request is what InternetOpenUrlA sends. It is built from
// InternetConnectA, HttpOpenRequestA and HttpSendRequestA instead, because
// Wine's WinINet does not carry timeouts set on the InternetOpenA handle
// over to requests made by InternetOpenUrlA; on the connect handle they
// hold.
#pragma once

#include <windows.h>
#include <wininet.h>

class RedirectChain;

class HttpGetRequest {
public:
    enum class OpenResult {
        Ok,        // a final status 200-299 arrived; the body can be read
        NoClient,  // InternetOpenA failed
        Failed,    // bad or non-HTTP URL, no connection, timeout, error status,
                   // or a redirect that may not be followed
    };

    HttpGetRequest() = default;
    ~HttpGetRequest();
    HttpGetRequest(const HttpGetRequest&) = delete;
    HttpGetRequest& operator=(const HttpGetRequest&) = delete;

    // Sends the request for pszUrl and waits for the response head,
    // following redirects as RedirectChain allows, each with the same
    // request. Connecting, sending and each wait for data are bounded by
    // dwTimeoutMs on every hop.
    OpenResult Open(const char* pszUrl, DWORD dwTimeoutMs);

    // The Content-Length that the response announced; 0 when it announced
    // none or one that is not a 32-bit number.
    DWORD AnnouncedLength() const;

    // InternetReadFile on the response: TRUE with *pdwRead 0 at the end of
    // the body.
    BOOL Read(void* pBuffer, DWORD dwSize, DWORD* pdwRead) const;

    // Whether a failed Read failed because the server went quiet.
    static bool IsTimeout(DWORD dwError);

    void Close();

private:
    bool SendRequest(const URL_COMPONENTSA& url, DWORD dwTimeoutMs);
    DWORD Status() const;
    bool FollowLocation(RedirectChain& chain) const;
    void CloseHop();
    static void ReleaseHandle(HINTERNET& hHandle);

    HINTERNET m_hInternet = nullptr;
    HINTERNET m_hConnect = nullptr;
    HINTERNET m_hRequest = nullptr;
};
