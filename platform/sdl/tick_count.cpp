// Tick count over SDL's millisecond clock (starts at SDL's initialisation, close enough to program start).
#include "platform/tick_count.h"

#include <SDL.h>

uint32_t GetTickCount() { return SDL_GetTicks(); }
