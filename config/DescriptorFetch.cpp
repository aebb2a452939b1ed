#include "config/DescriptorFetch.h"

#include "config/AppPaths.h"
#include "config/DescriptorTrust.h"
#include "config/PublisherSignature.h"
#include "config/UpdateKey.h"
#include "download/DownloadToFile.h"
#include "download/FetchToMemory.h"

namespace {

const char kPendingSuffix[] = ".new";
const char kSignatureSuffix[] = ".sig";

DescriptorFetch FetchAndVerify(HWND hNotifyWnd, const CString& strUrl, const CString& strPending)
{
    if (DownloadToFile(hNotifyWnd, strUrl, strPending, 0) != 0)
        return DescriptorFetch::Failed;
    Sha256Digest digest;
    if (!HashFile(strPending, &digest))
        return DescriptorFetch::Failed;
    // One byte more than a signature has, so that a longer one is refused.
    unsigned char signature[kSignatureSize + 1];
    size_t nLength = 0;
    if (!FetchToMemory(strUrl + kSignatureSuffix, signature, sizeof signature, &nLength) ||
        !IsSignedByPublisher(digest, signature, nLength))
        return DescriptorFetch::Forged;
    if (!MoveFileExA(strPending, g_szDescriptorPath, MOVEFILE_REPLACE_EXISTING))
        return DescriptorFetch::Failed;
    TrustDescriptor(digest);
    return DescriptorFetch::Ok;
}

}  // namespace

DescriptorFetch FetchDescriptor(HWND hNotifyWnd, const CString& strUrl)
{
    if (!kUpdateKeyBuiltIn)
        return DownloadToFile(hNotifyWnd, strUrl, g_szDescriptorPath, 0) == 0 ? DescriptorFetch::Ok
                                                                              : DescriptorFetch::Failed;
    DistrustDescriptor();
    CString strPending = CString(g_szDescriptorPath) + kPendingSuffix;
    DescriptorFetch result = FetchAndVerify(hNotifyWnd, strUrl, strPending);
    if (result != DescriptorFetch::Ok)
        DeleteFileA(strPending);
    return result;
}
