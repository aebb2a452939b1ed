#include "download/ProgressMath.h"

#include <climits>

int PercentReceived(uint32_t received, uint32_t announced)
{
    uint64_t percent = static_cast<uint64_t>(received) * 100u / announced;
    return percent > static_cast<uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(percent);
}

uint32_t ElapsedMs(uint32_t startTick, uint32_t nowTick)
{
    uint32_t elapsed = nowTick - startTick;
    return elapsed == 0 ? kMinimumElapsedMs : elapsed;
}

float KilobytesPerSecond(uint32_t received, uint32_t elapsedMs)
{
    return static_cast<float>(received / (elapsedMs * 0.001) / 1024);
}

CString FormatSpeed(float kilobytesPerSecond)
{
    CString text;
    text.Format("%4.1f KB/秒", static_cast<double>(kilobytesPerSecond));
    return text;
}
