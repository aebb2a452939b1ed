#include "actions/DownloadPin.h"

#include "config/AppPaths.h"
#include "config/HexBytes.h"
#include "config/IniFile.h"
#include "config/UpdateKey.h"
#include "download/DownloadToFile.h"
#include "framework/MessageBox.h"

bool ReadDownloadPin(const IniKey& key, std::optional<Sha256Digest>* pPin)
{
    pPin->reset();
    if (!kUpdateKeyBuiltIn)
        return true;
    Sha256Digest digest;
    if (ParseHexBytes(ReadIniString(g_szDescriptorPath, key), digest.bytes, Sha256Digest::kSize)) {
        *pPin = digest;
        return true;
    }
    AfxMessageBox(kPinMismatchText, MB_OK);
    AfxMessageBox("下载失败!", MB_OK);
    return false;
}
