// Whether a window manager looks after the game window's display. Only platform/sdl/ includes this.
#pragma once
#include <SDL.h>

// True where a window manager runs on the window's X display (or the display is not X, or cannot be
// asked): only one answers a request for full screen, which SDL waits a tenth of a second for.
bool WindowManagerRunning(SDL_Window* window);
// The same asked of an X display's own connection (Xlib's Display).
bool WindowManagerOnDisplay(struct _XDisplay* display);
