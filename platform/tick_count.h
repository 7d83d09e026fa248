// The millisecond tick count: milliseconds since the program started, wrapping at 32 bits.
// Stand-in for the system call; the SDL build reads SDL's clock, the test build a clock the test sets.
#pragma once
#include <cstdint>

// Called by the object step's clock and respawn test, every time they need the time.
uint32_t GetTickCount();
