// The floor a download is measured against: WinINet read in 16 KiB blocks,
// each block written to a file, and nothing else. Variants tell where time
// goes: how the request is opened, and how (or whether) blocks are written.
#pragma once

#include <cstdint>
#include <string>

enum class RequestPath {
    OpenUrl,  // InternetOpenA + InternetOpenUrlA, the plainest WinINet call
    Connect,  // HttpGetRequest: InternetConnectA + HttpOpenRequestA + HttpSendRequestA
};

enum class BlockSink {
    None,       // blocks are dropped
    WriteFile,  // one WriteFile per block
    CFile,      // one CFile::Write per block
};

struct BareLoopTimes {
    double seconds;       // request to file closed; negative when the request
                          // failed or the body was not `length` bytes
    double closeSeconds;  // closing the file alone
};

// Fetches the whole body of url into path.
BareLoopTimes BareReadLoop(RequestPath requestPath, BlockSink sink, const std::string& url,
                           const std::string& path, uint64_t length);
