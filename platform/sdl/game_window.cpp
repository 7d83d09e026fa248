// The game window over SDL: making it, full screen and back, its place on the screen, the picture's place
// in it, the pointer's hold on the picture and the system cursor's visibility.
#include "platform/sdl/game_window.h"

#include <algorithm>

#include "platform/picture_place.h"
#include "platform/system.h"

namespace {

Window gameWindow;
bool windowMade = false;
int cursorShown = -1;                                      // last state given to SDL, -1 before any
SDL_Point pictureSize = {kPictureWidth, kPictureHeight};   // the game's picture, the window's size as made
SDL_Point windowedSize = {kPictureWidth, kPictureHeight};  // the window's size when it was last not full screen
bool cursorWanted = true;                                  // what the game last asked for
SDL_Rect confinedTo = {0, 0, 0, 0};                        // where the pointer is held in full screen; empty: free

// The picture's place for the window's size as it is now (the picture notes it again at every present).
void PlacePictureInWindow(Window& window) {
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(window.sdlWindow, &width, &height);
  NotePicturePlace(window, width, height);
}

bool IsFullscreen() { return (SDL_GetWindowFlags(gameWindow.sdlWindow) & SDL_WINDOW_FULLSCREEN) != 0; }

// Moves and sizes the window, asking only for what changes: SDL waits a tenth of a second for a change
// it asked for that never comes.
void PlaceWindow(SDL_Window* window, int x, int y, int width, int height) {
  int nowX = 0, nowY = 0, nowWidth = 0, nowHeight = 0;
  SDL_GetWindowSize(window, &nowWidth, &nowHeight);
  if (nowWidth != width || nowHeight != height) SDL_SetWindowSize(window, width, height);
  SDL_GetWindowPosition(window, &nowX, &nowY);
  if (nowX != x || nowY != y) SDL_SetWindowPosition(window, x, y);
}

// Without a window manager SDL's desktop full screen leaves the window at its size while reporting the
// display's, so the window is first made the display's size at its corner itself; a window manager then
// takes it over as a full-screen window all the same.
void EnterFullscreen(SDL_Window* window) {
  SDL_GetWindowSize(window, &windowedSize.x, &windowedSize.y);
  SDL_Rect bounds;
  if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window), &bounds) == 0)
    PlaceWindow(window, bounds.x, bounds.y, bounds.w, bounds.h);
  SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

// The window's frame as the window manager last told it: top, left, bottom, right (none without one).
struct Frame {
  int top = 0, left = 0, bottom = 0, right = 0;
};

Frame FrameOf(SDL_Window* window) {
  Frame frame;
  if (SDL_GetWindowBordersSize(window, &frame.top, &frame.left, &frame.bottom, &frame.right) != 0) frame = Frame();
  return frame;
}

Frame placedWithFrame;    // the frame the window was last placed for
Uint32 placeAgainUntil = 0;  // until then a frame told later places the window again

// The window's last size, or the largest the display's free area holds with the window's frame, centred
// there.
void PlaceWindowed(SDL_Window* window, const Frame& frame) {
  SDL_Rect usable;
  if (SDL_GetDisplayUsableBounds(SDL_GetWindowDisplayIndex(window), &usable) != 0)
    usable = {0, 0, windowedSize.x, windowedSize.y};
  const int roomWidth = usable.w - frame.left - frame.right;
  const int roomHeight = usable.h - frame.top - frame.bottom;
  SDL_Point size = windowedSize;
  if (size.x > roomWidth || size.y > roomHeight) {
    const PicturePlace fit = PlacePicture(pictureSize.x, pictureSize.y, roomWidth, roomHeight);
    size = SDL_Point{fit.width, fit.height};
  }
  PlaceWindow(window, usable.x + frame.left + (roomWidth - size.x) / 2,
              usable.y + frame.top + (roomHeight - size.y) / 2, size.x, size.y);
  placedWithFrame = frame;
}

// A window manager frames the window again a moment after it leaves full screen; it is waited for a
// quarter of a second at most (without one there is no frame to wait for), and a frame told later than
// that, within two seconds, places the window again (see PeekMessageA).
void LeaveFullscreen(SDL_Window* window) {
  SDL_SetWindowFullscreen(window, 0);
  Frame frame;
  for (int tries = 0; tries < 25 && frame.top == 0; ++tries) {
    SDL_PumpEvents();
    frame = FrameOf(window);
    if (frame.top == 0) SDL_Delay(10);
  }
  PlaceWindowed(window, frame);
  placeAgainUntil = SDL_GetTicks() + 2000;
}

// After leaving full screen, a window event may bring the frame late: the window is placed for it.
void PlaceForLateFrame(SDL_Window* window) {
  if (placeAgainUntil == 0 || IsFullscreen()) return;
  if (SDL_TICKS_PASSED(SDL_GetTicks(), placeAgainUntil)) {
    placeAgainUntil = 0;
    return;
  }
  const Frame frame = FrameOf(window);
  const Frame& placed = placedWithFrame;
  if (frame.top != placed.top || frame.left != placed.left || frame.bottom != placed.bottom ||
      frame.right != placed.right)
    PlaceWindowed(window, frame);
}

// Holds the pointer on rect of the window (empty: lets it go); SDL is told only about changes.
void ConfinePointer(const SDL_Rect& rect) {
  if (rect.x == confinedTo.x && rect.y == confinedTo.y && rect.w == confinedTo.w && rect.h == confinedTo.h) return;
  confinedTo = rect;
  const bool held = rect.w > 0 && rect.h > 0;
  SDL_SetWindowMouseRect(gameWindow.sdlWindow, held ? &rect : nullptr);
  SDL_SetWindowGrab(gameWindow.sdlWindow, held ? SDL_TRUE : SDL_FALSE);
}

// Whether SDL's last place of the pointer in the window lies on the picture.
bool PointerPlaceOnPicture() {
  int x = 0;
  int y = 0;
  SDL_GetMouseState(&x, &y);
  const SDL_Point point{x, y};
  return SDL_PointInRect(&point, &gameWindow.picture) == SDL_TRUE;
}

// The system cursor is hidden where the game draws its own: over the whole screen in full screen, only
// over the picture in a window, so the pointer shows on the title bar, in the bars and on the desktop. (The
// window's cursor is seen only over the window, wherever the pointer was last.)
void ApplyCursor() {
  const bool hidden = !cursorWanted && windowMade && (IsFullscreen() || PointerPlaceOnPicture());
  const int state = hidden ? SDL_DISABLE : SDL_ENABLE;
  if (state == cursorShown) return;
  SDL_ShowCursor(state);
  cursorShown = state;
}

}  // namespace

Window* GameWindow() { return windowMade ? &gameWindow : nullptr; }

// Resizable; the picture scales with the window (see PlacePicture). It may be made as small as half the
// picture, so that it fits with its frame on a screen no larger than the picture.
Window* MakeGameWindow(const char* title, int32_t width, int32_t height) {
  if (windowMade) return &gameWindow;
  SDL_Window* window =
      SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, SDL_WINDOW_RESIZABLE);
  if (window == nullptr) return nullptr;
  SDL_SetWindowMinimumSize(window, std::max(width / 2, 1), std::max(height / 2, 1));
  gameWindow = Window();
  gameWindow.sdlWindow = window;
  pictureSize = windowedSize = SDL_Point{width, height};
  PlacePictureInWindow(gameWindow);
  windowMade = true;
  return &gameWindow;
}

void NotePicturePlace(Window& window, int32_t width, int32_t height) {
  const PicturePlace place = PlacePicture(pictureSize.x, pictureSize.y, width, height);
  window.picture = SDL_Rect{place.x, place.y, place.width, place.height};
}

bool GameWindowFullscreen() { return windowMade && IsFullscreen(); }

void SetGameWindowFullscreen(bool full) {
  if (!windowMade || full == IsFullscreen()) return;
  if (full) {
    EnterFullscreen(gameWindow.sdlWindow);
  } else {
    LeaveFullscreen(gameWindow.sdlWindow);
  }
  PlacePictureInWindow(gameWindow);
}

// Full screen keeps the pointer on the picture, where every place means a place of the game; a window lets
// it go, so its close box and the rest of the desktop stay in reach.
void TakeMouse() {
  if (!windowMade || !gameWindow.mouseHeld) return;
  ConfinePointer(IsFullscreen() ? gameWindow.picture : SDL_Rect{0, 0, 0, 0});
}

void ReleaseMouse() {
  if (windowMade) ConfinePointer(SDL_Rect{0, 0, 0, 0});
}

// A window manager gives the window the keyboard when it is clicked or its box closes; without one, once
// the focus has gone to nobody (another client that held it quit, a box that had it closed) nothing would:
// Escape and Alt+Enter went nowhere, and SDL ignores the pads of a window without the keyboard.
void TakeKeyboard() {
  if (windowMade) SDL_SetWindowInputFocus(gameWindow.sdlWindow);
}

bool PointerOverPicture() {
  return windowMade && SDL_GetMouseFocus() == gameWindow.sdlWindow && PointerPlaceOnPicture();
}

void NoteWindowEvent(const SDL_WindowEvent& event) {
  if (!windowMade) return;
  if (event.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
    // X holds the pointer only for a window in front: the hold asked for before is asked for again.
    confinedTo = SDL_Rect{0, 0, 0, 0};
    TakeMouse();
  }
  if (event.event == SDL_WINDOWEVENT_SIZE_CHANGED) PlacePictureInWindow(gameWindow);
  PlaceForLateFrame(gameWindow.sdlWindow);
}

// Called every frame by the game, after the events were pumped, so the cursor follows the pointer in and
// out of the picture.
void ShowCursor(bool show) {
  cursorWanted = show;
  ApplyCursor();
}
