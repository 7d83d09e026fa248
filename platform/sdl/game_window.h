// The one game window as the SDL stand-ins share it. Only platform/sdl/ includes this.
// The SDL window, its renderer once the device exists, and whether the game holds the mouse.
#pragma once
#include <SDL.h>

#include "platform/window_handle.h"

struct Window {
  SDL_Window* sdlWindow = nullptr;
  SDL_Renderer* renderer = nullptr;  // set by the device while it exists
  bool mouseHeld = false;            // the mouse device is acquired: held on the picture in full screen
  // Where the 640 by 480 picture lies in the window, in the window pixels SDL's mouse positions use.
  // Kept current by the window at every change of size or full screen and by the graphics device at
  // every present; read by the mouse to place the cursor under the pointer.
  SDL_Rect picture = {0, 0, 640, 480};
};

// The game window, or null before CreateGameWindow (or after it failed).
Window* GameWindow();

// Full screen over the whole display, with or without a window manager; or back to a window lying wholly
// on the screen, frame included, centred. Picture place kept current.
void SetGameWindowFullscreen(bool full);

// Holds the pointer on the picture in full screen when the game holds the mouse, and lets it go in a
// window (after a switch, after focus returns, after a message box, when the picture moved).
void TakeMouse();
// Lets the pointer go wherever it likes, until the next TakeMouse.
void ReleaseMouse();

// Whether the pointer is over the picture right now (and the window has it).
bool PointerOverPicture();

// Notes a keyboard or mouse event as it arrives, before the event filter drops it: keys and buttons that
// went down count as held at the next read even when let go before it, and the pointer's place is kept.
void NoteInputEvent(const SDL_Event& event);

// Whether Escape went down since the last ask: the live Escape counts a tap as held once.
bool TakeEscapePress();
