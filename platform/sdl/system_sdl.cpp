// Window system stand-ins over SDL.
// The window, SDL's event queue as the message queue, message boxes, the system cursor and the live Escape
// key.
#include "platform/system.h"

#include <cstdio>

#include "platform/sdl/game_window.h"
#include "platform/sdl/video_start.h"

namespace {

Window gameWindow;
bool windowMade = false;
Uint32 postedEventType = static_cast<Uint32>(-1);  // SDL event type carrying the game's posted messages
bool toggleFullscreenRequested = false;            // Alt+Enter seen; acted on in the next PeekMessageA
int cursorShown = -1;                              // last state given to SDL, -1 before any

// The game reads keyboard, mouse and pads as state once per frame, and takes only one queued event per
// frame; input events would pile up in the queue without end, so they are dropped as they arrive. Their
// state (keys held, relative motion, sticks) is kept by SDL regardless. Alt+Enter is noted on the way.
int DropInputEvents(void*, SDL_Event* event) {
  switch (event->type) {
    case SDL_KEYDOWN:
      if (event->key.keysym.scancode == SDL_SCANCODE_RETURN && (event->key.keysym.mod & KMOD_ALT) != 0 &&
          event->key.repeat == 0)
        toggleFullscreenRequested = true;
      return 0;
    case SDL_KEYUP:
    case SDL_TEXTEDITING:
    case SDL_TEXTINPUT:
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
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

// Desktop full screen and back; the device's integer scaling follows the new size by itself.
void ToggleFullscreen() {
  const bool full = (SDL_GetWindowFlags(gameWindow.sdlWindow) & SDL_WINDOW_FULLSCREEN) != 0;
  SDL_SetWindowFullscreen(gameWindow.sdlWindow, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
  TakeMouse();
}

}  // namespace

Window* GameWindow() { return windowMade ? &gameWindow : nullptr; }

void TakeMouse() {
  if (windowMade && gameWindow.mouseHeld) SDL_SetRelativeMouseMode(SDL_TRUE);
}

// Resizable, so the window can be made larger; the picture then scales by whole pixels. Never smaller
// than the picture itself.
WindowHandle CreateGameWindow(const std::string& title, int32_t width, int32_t height) {
  if (windowMade) return &gameWindow;
  if (!StartVideo()) return nullptr;  // no display: SDL's error says why
  SDL_Window* window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                        SDL_WINDOW_RESIZABLE);
  if (window == nullptr) return nullptr;
  SDL_SetWindowMinimumSize(window, width, height);
  SDL_StopTextInput();
  if (postedEventType == static_cast<Uint32>(-1)) postedEventType = SDL_RegisterEvents(1);
  SDL_SetEventFilter(DropInputEvents, nullptr);
  gameWindow = Window();
  gameWindow.sdlWindow = window;
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
    if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) TakeMouse();
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
  const bool relative = SDL_GetRelativeMouseMode() == SDL_TRUE;
  if (relative) SDL_SetRelativeMouseMode(SDL_FALSE);
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
  if (relative) SDL_SetRelativeMouseMode(SDL_TRUE);
}

// Called every frame by the game; SDL is told only about changes.
void ShowCursor(bool show) {
  const int state = show ? SDL_ENABLE : SDL_DISABLE;
  if (state == cursorShown) return;
  SDL_ShowCursor(state);
  cursorShown = state;
}

// Escape as it is right now: events are pumped first so the key state is current.
int16_t GetAsyncKeyState(int32_t virtualKey) {
  if (virtualKey != VK_ESCAPE) return 0;
  SDL_PumpEvents();
  const Uint8* keys = SDL_GetKeyboardState(nullptr);
  if (keys[SDL_SCANCODE_ESCAPE] == 0) return 0;
  // The play frame waits for Escape's release by asking again and again; a millisecond's rest per ask
  // while the key is held keeps that wait from burning a whole core.
  SDL_Delay(1);
  return static_cast<int16_t>(0x8000);
}

std::string PlatformError() { return SDL_GetError(); }
