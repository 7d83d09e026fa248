// Tick count over SDL's millisecond clock (starts at SDL's initialisation, close enough to program start),
// with the time message boxes stood left out.
#include "platform/sdl/tick_count_sdl.h"

#include <SDL.h>

#include "platform/tick_count.h"

namespace {

uint32_t leftOut = 0;  // milliseconds message boxes stood, in all

}  // namespace

uint32_t GetTickCount() { return SDL_GetTicks() - leftOut; }

void LeaveOutOfTickCount(uint32_t milliseconds) { leftOut += milliseconds; }
