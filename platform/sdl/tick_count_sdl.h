// The tick count's clock as the SDL stand-ins steer it. Only platform/sdl/ includes this.
#pragma once
#include <cstdint>

// The game's clock stands still while a message box stands: the objects' step clocks and the pad cursor's
// pace then go on from where they were, as if no time had passed. Called by MessageBoxA with the time its
// box stood.
void LeaveOutOfTickCount(uint32_t milliseconds);
