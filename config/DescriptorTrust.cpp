#include "config/DescriptorTrust.h"

#include "config/AppPaths.h"
#include "config/UpdateKey.h"
#include "framework/MessageBox.h"

const char kForgedDescriptorText[] = "升级信息签名无效!";

namespace {

bool g_bTrusted = false;
Sha256Digest g_trustedDigest;

bool DescriptorIsIntact()
{
    if (!kUpdateKeyBuiltIn)
        return true;
    Sha256Digest current;
    return g_bTrusted && HashFile(g_szDescriptorPath, &current) && current == g_trustedDigest;
}

}  // namespace

void TrustDescriptor(const Sha256Digest& digest)
{
    g_trustedDigest = digest;
    g_bTrusted = true;
}

void DistrustDescriptor()
{
    g_bTrusted = false;
}

bool ConfirmDescriptorIntact()
{
    if (DescriptorIsIntact())
        return true;
    AfxMessageBox(kForgedDescriptorText, MB_OK);
    return false;
}
