// Values fixed when an exe is built (see UPDATER_BASE_URL in CMake).
#pragma once

// Scheme and host of the update server, optional port, no trailing slash.
extern const char kUpdateServerBaseUrl[];

// Bound on connecting, sending and receiving, in milliseconds.
extern const unsigned long kNetworkTimeoutMs;
