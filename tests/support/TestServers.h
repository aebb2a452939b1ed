// The real servers that scripts/test-servers.sh runs on loopback for the
// Https* and Proxy* suites (ports and folder fixed by CMake): what they
// serve, where, and what their logs say.
#pragma once

#include <string>

// "https://localhost:<port>" followed by target.
std::string HttpsUrl(unsigned short port, const std::string& target);

// Makes nginx serve bytes under target (a path starting with "/") on every
// TLS port.
void PublishOverTls(const std::string& target, const std::string& bytes);

// The log of the open tinyproxy (auth false) or of the one that demands a
// password (auth true), as it is now.
std::string ProxyLog(bool auth);
