// The arithmetic of a download's progress reports: percent received,
// transfer rate, and the speed text. No window and no system call here.
#pragma once

#include <cstdint>

#include "framework/CString.h"

// The time charged to the first block, and to any block whose clock
// reading shows no time passed.
constexpr uint32_t kMinimumElapsedMs = 10;

// received × 100 / announced as an unsigned whole division, exact for every
// pair of 32-bit counts (announced > 0). Not clamped at 100; a result
// beyond the range of int (a body far longer than announced) gives INT_MAX.
int PercentReceived(uint32_t received, uint32_t announced);

// Milliseconds from startTick to nowTick of a 32-bit millisecond clock; a
// wrap of the clock between the two does no harm. 0 becomes 10.
uint32_t ElapsedMs(uint32_t startTick, uint32_t nowTick);

// received bytes over elapsedMs, in kilobytes (1024 bytes) per second, in
// single precision. elapsedMs > 0.
float KilobytesPerSecond(uint32_t received, uint32_t elapsedMs);

// "%4.1f KB/秒": 1600 gives "1600.0 KB/秒".
CString FormatSpeed(float kilobytesPerSecond);
