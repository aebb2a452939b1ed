#include "download/RedirectChain.h"

#include <algorithm>

namespace {

INTERNET_SCHEME SchemeOf(const char* pszUrl)
{
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = 1;  // nonzero: report the scheme, copy nothing
    if (!InternetCrackUrlA(pszUrl, 0, 0, &parts))
        return INTERNET_SCHEME_UNKNOWN;
    return parts.nScheme;
}

bool IsHttp(INTERNET_SCHEME scheme)
{
    return scheme == INTERNET_SCHEME_HTTP || scheme == INTERNET_SCHEME_HTTPS;
}

// The absolute URL that pszLocation names, seen from pszBase; empty when it
// cannot be resolved within WinINet's URL length.
std::string Resolve(const char* pszBase, const char* pszLocation)
{
    char szUrl[INTERNET_MAX_URL_LENGTH + 1];
    DWORD dwLength = sizeof szUrl;
    if (!InternetCombineUrlA(pszBase, pszLocation, szUrl, &dwLength, ICU_NO_ENCODE))
        return std::string();
    return std::string(szUrl, dwLength);
}

}  // namespace

bool IsRedirectStatus(DWORD dwStatus)
{
    switch (dwStatus) {
    case HTTP_STATUS_MOVED:           // 301
    case HTTP_STATUS_REDIRECT:        // 302
    case HTTP_STATUS_REDIRECT_METHOD: // 303
    case HTTP_STATUS_REDIRECT_KEEP_VERB:  // 307
    case HTTP_STATUS_PERMANENT_REDIRECT:  // 308
        return true;
    default:
        return false;
    }
}

RedirectChain::RedirectChain(const char* pszFirstUrl) : m_urls{pszFirstUrl} {}

bool RedirectChain::Follow(const char* pszLocation)
{
    if (m_urls.size() > kMaxRedirects)
        return false;
    std::string next = Resolve(CurrentUrl(), pszLocation);
    if (next.empty())
        return false;
    const INTERNET_SCHEME from = SchemeOf(CurrentUrl());
    const INTERNET_SCHEME to = SchemeOf(next.c_str());
    if (!IsHttp(to) || (from == INTERNET_SCHEME_HTTPS && to != INTERNET_SCHEME_HTTPS))
        return false;
    if (std::find(m_urls.begin(), m_urls.end(), next) != m_urls.end())
        return false;  // a loop would only end at the hop limit
    m_urls.push_back(next);
    return true;
}
