// The redirects that one download may follow. WinINet is told not to
// follow any itself (Wine's follows without a hop limit and from HTTPS down
// to plain HTTP), so each hop is judged here before it is requested.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>
#include <vector>

// The statuses whose Location is followed with the same GET.
bool IsRedirectStatus(DWORD dwStatus);

class RedirectChain {
public:
    // Redirects followed at most, after the first request.
    static constexpr size_t kMaxRedirects = 10;

    explicit RedirectChain(const char* pszFirstUrl);

    // The URL to request now.
    const char* CurrentUrl() const { return m_urls.back().c_str(); }

    // Moves on to the target of a Location header, resolved against the
    // current URL. False, staying where it is, when the target is not an
    // http or https URL, would leave HTTPS for plain HTTP, was requested
    // before in this chain, or would be one redirect too many.
    bool Follow(const char* pszLocation);

private:
    std::vector<std::string> m_urls;
};
