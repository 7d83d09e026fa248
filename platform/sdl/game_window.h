// The one game window as the SDL stand-ins share it. Only platform/sdl/ includes this.
// The SDL window, its renderer once the device exists, and whether the game holds the mouse.
#pragma once
#include <SDL.h>

#include "platform/window_handle.h"

struct Window {
  SDL_Window* sdlWindow = nullptr;
  SDL_Renderer* renderer = nullptr;  // set by the device while it exists
  bool mouseHeld = false;            // the mouse device is acquired: relative mode wanted while in front
  // Where the 640 by 480 picture lies in the window, in the window pixels SDL's mouse positions use.
  // Kept current by the graphics device; read by the mouse to place the cursor under the pointer.
  SDL_Rect picture = {0, 0, 640, 480};
};

// The game window, or null before CreateGameWindow (or after it failed).
Window* GameWindow();

// Full screen over the whole display, with or without a window manager; or back to a window lying wholly
// on the screen, frame included, centred. Picture place kept current.
void SetGameWindowFullscreen(bool full);

// Sets window.picture for the window's size as it is now.
void PlacePictureInWindow(Window& window);

// Takes the mouse into relative mode when the game holds it (after focus returns, after a message box).
void TakeMouse();
