// The SHA-256 that the descriptor pins a download to.
#pragma once

#include <optional>

#include "config/IniKeys.h"
#include "download/Sha256.h"

// Reads key from the descriptor into *pPin. Without a key built in nothing
// is pinned: *pPin is empty and the result true. With one, a value that is
// not 64 hex digits (a missing one included) tells the user "升级文件校验失败!"
// then "下载失败!" and returns false: nothing may be downloaded.
bool ReadDownloadPin(const IniKey& key, std::optional<Sha256Digest>* pPin);
