// A settable tick count for deterministic tests, kept in microseconds for the simulated display.
#include "platform/fake/fake_clock.h"
#include "platform/tick_count.h"

static int64_t fakeMicros = 0;

uint32_t GetTickCount() { return static_cast<uint32_t>(fakeMicros / 1000); }
void SetTickCount(uint32_t ticks) { fakeMicros = int64_t{ticks} * 1000; }
void AdvanceTickCount(uint32_t milliseconds) { fakeMicros += int64_t{milliseconds} * 1000; }
int64_t FakeMicroseconds() { return fakeMicros; }
void AdvanceFakeMicroseconds(int64_t microseconds) { fakeMicros += microseconds; }
