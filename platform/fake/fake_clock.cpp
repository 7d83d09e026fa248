// A settable tick count for deterministic tests.
#include "platform/fake/fake_clock.h"
#include "platform/tick_count.h"

static uint32_t fakeTicks = 0;

uint32_t GetTickCount() { return fakeTicks; }
void SetTickCount(uint32_t ticks) { fakeTicks = ticks; }
void AdvanceTickCount(uint32_t milliseconds) { fakeTicks += milliseconds; }
