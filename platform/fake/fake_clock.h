// The tests' tick count: it stands still until a test sets or advances it.
#pragma once
#include <cstdint>

void SetTickCount(uint32_t ticks);
void AdvanceTickCount(uint32_t milliseconds);  // wraps at 32 bits like the real counter
