#include "config/BuildSettings.h"

const char kUpdateServerBaseUrl[] = UPDATER_BASE_URL;
const unsigned long kNetworkTimeoutMs = UPDATER_TIMEOUT_MS;
