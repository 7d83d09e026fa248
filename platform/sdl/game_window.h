// The one game window as the SDL stand-ins share it. Only platform/sdl/ includes this.
// The SDL window, its renderer once the device exists, whether the game holds the mouse, and the one record
// of where the picture lies in it.
#pragma once
#include <SDL.h>

#include "platform/picture_size.h"
#include "platform/window_handle.h"

struct Window {
  SDL_Window* sdlWindow = nullptr;
  SDL_Renderer* renderer = nullptr;  // set by the device while it exists
  bool mouseHeld = false;            // the mouse device is acquired: held on the picture in full screen
  // Where the picture lies in the window, in the window pixels SDL's mouse positions use. Written only by
  // NotePicturePlace; read by the mouse to place the cursor under the pointer and by the pointer's hold.
  SDL_Rect picture = {0, 0, kPictureWidth, kPictureHeight};
};

// The game window, or null before MakeGameWindow (or after it failed). Any SDL stand-in, any time.
Window* GameWindow();

// CreateGameWindow's window: made once, shown, resizable, the picture width by height; null when SDL cannot
// make it (SDL's error says why). Called by the message queue after video started.
Window* MakeGameWindow(const char* title, int32_t width, int32_t height);

// The window's picture placed for a drawing area of width by height (see PlacePicture). Called by the
// window itself when its size changes and by the picture at every present, with the size it drew on.
void NotePicturePlace(Window& window, int32_t width, int32_t height);

// Whether the window covers the display now. Any SDL stand-in, any time.
bool GameWindowFullscreen();

// Full screen over the whole display, with or without a window manager; or back to a window lying wholly
// on the screen, frame included, centred. Picture place kept current. Called by the device when it is made
// full screen, by Alt+Enter, and by the test hooks.
void SetGameWindowFullscreen(bool full);

// A window event taken from the queue: focus back (the pointer's hold asked for again), a new size (the
// picture placed again), a frame told late after leaving full screen. Called by PeekMessageA.
void NoteWindowEvent(const SDL_WindowEvent& event);

// Holds the pointer on the picture in full screen when the game holds the mouse, and lets it go in a
// window. Called after a switch, after a message box, and by the mouse at every read (the picture may
// have moved).
void TakeMouse();
// Lets the pointer go wherever it likes, until the next TakeMouse. Called around a message box and a warp.
void ReleaseMouse();

// Gives the window the keyboard. Called by the input latch at a click in the window when it does not have
// it, and after a message box.
void TakeKeyboard();

// Whether the pointer is over the picture right now (and the window has it). Called by the mouse.
bool PointerOverPicture();
