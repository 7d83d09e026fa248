// The tests' tick count: it stands still until a test sets or advances it.
#pragma once
#include <cstdint>

void SetTickCount(uint32_t ticks);
void AdvanceTickCount(uint32_t milliseconds);  // wraps at 32 bits like the real counter
// The same clock in microseconds, for the frame pacing of a simulated display.
int64_t FakeMicroseconds();
void AdvanceFakeMicroseconds(int64_t microseconds);
