#include "download/FetchToMemory.h"

#include "config/BuildSettings.h"
#include "download/HttpGetRequest.h"

bool FetchToMemory(const char* pszUrl, unsigned char* pBuffer, size_t nCapacity, size_t* pLength)
{
    HttpGetRequest request;
    if (request.Open(pszUrl, kNetworkTimeoutMs) != HttpGetRequest::OpenResult::Ok)
        return false;
    size_t nReceived = 0;
    for (;;) {
        // One byte beyond the capacity is asked for, so that a longer body shows.
        unsigned char overflow;
        const bool bFull = nReceived == nCapacity;
        void* pTarget = bFull ? &overflow : pBuffer + nReceived;
        DWORD dwWanted = bFull ? 1 : static_cast<DWORD>(nCapacity - nReceived);
        DWORD dwRead = 0;
        if (!request.Read(pTarget, dwWanted, &dwRead))
            return false;
        if (dwRead == 0)
            break;
        if (bFull)
            return false;
        nReceived += dwRead;
    }
    *pLength = nReceived;
    return true;
}
