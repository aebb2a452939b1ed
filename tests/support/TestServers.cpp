#include "tests/support/TestServers.h"

#include <windows.h>

#include "tests/support/TempDir.h"

namespace {

// A Linux path as Wine's Z: drive, which maps the Linux root, shows it.
std::string ThroughDriveZ(const std::string& linuxPath)
{
    std::string path = "Z:" + linuxPath;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

}  // namespace

std::string HttpsUrl(unsigned short port, const std::string& target)
{
    return "https://localhost:" + std::to_string(port) + target;
}

void PublishOverTls(const std::string& target, const std::string& bytes)
{
    const std::string root = ThroughDriveZ(SERVED_DIR "/www");
    const std::string path = root + ThroughDriveZ(target).substr(2);
    for (size_t slash = path.find('\\', root.size() + 1); slash != std::string::npos;
         slash = path.find('\\', slash + 1))
        CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);  // most exist already
    WriteFileBytes(path, bytes);
}

std::string ProxyLog(bool auth)
{
    return ReadFileBytes(ThroughDriveZ(auth ? SERVED_DIR "/tinyproxy-auth.log" : SERVED_DIR "/tinyproxy.log"));
}
