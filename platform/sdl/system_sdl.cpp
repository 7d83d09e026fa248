// Window system stand-ins over SDL.
// The window, SDL's event queue as the message queue, message boxes, the system cursor and the live Escape
// key.
#include "platform/system.h"

#include <algorithm>
#include <cstdio>

#include "platform/picture_place.h"
#include "platform/input_devices.h"
#include "platform/pad_mapping.h"
#include "platform/sdl/game_window.h"
#include "platform/sdl/video_start.h"

namespace {

Window gameWindow;
bool windowMade = false;
Uint32 postedEventType = static_cast<Uint32>(-1);  // SDL event type carrying the game's posted messages
bool toggleFullscreenRequested = false;            // Alt+Enter seen; acted on in the next PeekMessageA
int cursorShown = -1;                              // last state given to SDL, -1 before any
SDL_Point pictureSize = {640, 480};                // the game's picture, the window's size as made
SDL_Point windowedSize = {640, 480};               // the window's size when it was last not full screen
bool cursorWanted = true;                          // what the game last asked for
SDL_Rect confinedTo = {0, 0, 0, 0};                // where the pointer is held in full screen; empty: free

// The game reads keyboard, mouse and pads as state once per frame, and takes only one queued event per
// frame; input events would pile up in the queue without end, so they are dropped as they arrive. Their
// state (keys held, the pointer's place, sticks) is kept by SDL regardless, and the input devices note
// presses and the pointer on the way, so that a press let go before the next read is not lost. Alt+Enter
// is noted too.
int DropInputEvents(void*, SDL_Event* event) {
  switch (event->type) {
    case SDL_KEYDOWN:
      if (event->key.keysym.scancode == SDL_SCANCODE_RETURN && (event->key.keysym.mod & KMOD_ALT) != 0 &&
          event->key.repeat == 0)
        toggleFullscreenRequested = true;
      NoteInputEvent(*event);
      return 0;
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
      NoteInputEvent(*event);
      return 0;
    case SDL_KEYUP:
    case SDL_TEXTEDITING:
    case SDL_TEXTINPUT:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
    case SDL_JOYAXISMOTION:
    case SDL_JOYBALLMOTION:
    case SDL_JOYHATMOTION:
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
    case SDL_CONTROLLERAXISMOTION:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERTOUCHPADDOWN:
    case SDL_CONTROLLERTOUCHPADMOTION:
    case SDL_CONTROLLERTOUCHPADUP:
    case SDL_CONTROLLERSENSORUPDATE:
    case SDL_FINGERDOWN:
    case SDL_FINGERUP:
    case SDL_FINGERMOTION:
    case SDL_SENSORUPDATE:
      return 0;
    default:
      return 1;
  }
}

// Sets window.picture for the window's size as it is now (the device sets it again at every present).
void PlacePictureInWindow(Window& window) {
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(window.sdlWindow, &width, &height);
  const PicturePlace place = PlacePicture(pictureSize.x, pictureSize.y, width, height);
  window.picture = SDL_Rect{place.x, place.y, place.width, place.height};
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

void ToggleFullscreen() {
  SetGameWindowFullscreen(!IsFullscreen());
  TakeMouse();
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

bool PointerOverPicture() {
  return windowMade && SDL_GetMouseFocus() == gameWindow.sdlWindow && PointerPlaceOnPicture();
}

// Resizable; the picture scales with the window (see PlacePicture). It may be made as small as half the
// picture, so that it fits with its frame on a screen no larger than the picture.
WindowHandle CreateGameWindow(const std::string& title, int32_t width, int32_t height) {
  if (windowMade) return &gameWindow;
  if (!StartVideo()) return nullptr;  // no display: SDL's error says why
  SDL_Window* window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                        SDL_WINDOW_RESIZABLE);
  if (window == nullptr) return nullptr;
  SDL_SetWindowMinimumSize(window, std::max(width / 2, 1), std::max(height / 2, 1));
  SDL_StopTextInput();
  if (postedEventType == static_cast<Uint32>(-1)) postedEventType = SDL_RegisterEvents(1);
  SDL_SetEventFilter(DropInputEvents, nullptr);
  gameWindow = Window();
  gameWindow.sdlWindow = window;
  pictureSize = windowedSize = SDL_Point{width, height};
  PlacePictureInWindow(gameWindow);
  windowMade = true;
  return &gameWindow;
}

// One event at most. The window's close request (and a quit from outside, such as Ctrl+C in the terminal)
// and the game's own posted messages keep their meaning; everything else is nothing to the game.
bool PeekMessageA(Message& msg) {
  if (toggleFullscreenRequested && windowMade) {
    toggleFullscreenRequested = false;
    ToggleFullscreen();
  }
  SDL_Event event;
  if (SDL_PollEvent(&event) == 0) return false;
  msg = Message();
  if (event.type == SDL_QUIT) {
    msg.message = WM_DESTROY;
  } else if (event.type == SDL_WINDOWEVENT) {
    if (event.window.event == SDL_WINDOWEVENT_CLOSE) msg.message = WM_DESTROY;
    if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
      // X holds the pointer only for a window in front: the hold asked for before is asked for again.
      confinedTo = SDL_Rect{0, 0, 0, 0};
      TakeMouse();
    }
    if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) PlacePictureInWindow(gameWindow);
    PlaceForLateFrame(gameWindow.sdlWindow);
  } else if (event.type == postedEventType) {
    msg.message = static_cast<uint32_t>(event.user.code);
    msg.wParam = reinterpret_cast<uintptr_t>(event.user.data1);
    msg.lParam = reinterpret_cast<intptr_t>(event.user.data2);
  }
  return true;
}

// Goes onto the same queue as the window's own events, so it is taken in a later turn.
void PostMessageA(WindowHandle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (postedEventType == static_cast<Uint32>(-1)) return;
  SDL_Event event;
  SDL_zero(event);
  event.type = postedEventType;
  event.user.code = static_cast<Sint32>(message);
  event.user.data1 = reinterpret_cast<void*>(wParam);
  event.user.data2 = reinterpret_cast<void*>(lParam);
  SDL_PushEvent(&event);
}

intptr_t DefWindowProcA(WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

// The player needs the pointer to dismiss the box, so the mouse is let go meanwhile. A box that cannot be
// shown (no display) still leaves its text on standard error.
void MessageBoxA(WindowHandle owner, const std::string& text, const std::string& caption, uint32_t style) {
  const Uint32 flags =
      (style & MB_ICONEXCLAMATION) == MB_ICONEXCLAMATION ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
  ReleaseMouse();
  const int shown = SDL_ShowCursor(SDL_QUERY);
  SDL_ShowCursor(SDL_ENABLE);
  SDL_Window* parent = owner != nullptr ? owner->sdlWindow : nullptr;
  // SDL's dialog now and then fails to open on a busy desktop; a second try almost always shows it, and
  // the text goes to standard error only when no box could be shown at all.
  bool boxShown = false;
  for (int attempt = 0; attempt < 3 && !boxShown; ++attempt) {
    boxShown = SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), parent) == 0;
  }
  if (!boxShown) std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  SDL_ShowCursor(shown);
  TakeMouse();
}

// Called every frame by the game, after the events were pumped, so the cursor follows the pointer in and
// out of the picture.
void ShowCursor(bool show) {
  cursorWanted = show;
  ApplyCursor();
}

// Escape as it is right now: events are pumped first so the key state is current. A tap that went down
// and up since the last ask reads as held once, and pad 0's Escape button counts as the key.
int16_t GetAsyncKeyState(int32_t virtualKey) {
  if (virtualKey != VK_ESCAPE) return 0;
  SDL_PumpEvents();
  const bool tapped = TakeEscapePress();
  XInputState pad{};
  const bool held = SDL_GetKeyboardState(nullptr)[SDL_SCANCODE_ESCAPE] != 0 ||
                    (XInputGetState(0, &pad) == ERROR_SUCCESS && (pad.Gamepad.wButtons & PAD_ESCAPE_BUTTON) != 0);
  if (!held) return tapped ? static_cast<int16_t>(0x8000) : 0;
  // The play frame waits for Escape's release by asking again and again; a millisecond's rest per ask
  // while the key is held keeps that wait from burning a whole core.
  SDL_Delay(1);
  return static_cast<int16_t>(0x8000);
}

std::string PlatformError() { return SDL_GetError(); }
