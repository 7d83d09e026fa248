// Window system stand-ins over SDL.
// SDL's event queue as the message queue, the game's posted messages on it, Alt+Enter, the ask for the
// controls (F1, a pad's right shoulder), and message boxes. The window itself is game_window.cpp's, the
// live Escape input_latch.cpp's.
#include "platform/system.h"

#include <atomic>
#include <cstdio>

#include "platform/sdl/box_from_pad.h"
#include "platform/sdl/game_window.h"
#include "platform/sdl/input_latch.h"
#include "platform/sdl/tick_count_sdl.h"
#include "platform/sdl/video_start.h"

namespace {

Uint32 postedEventType = static_cast<Uint32>(-1);  // SDL event type carrying the game's posted messages
bool toggleFullscreenRequested = false;            // Alt+Enter seen; acted on in the next PeekMessageA
// F1 or a pad's right shoulder seen; taken as WM_HELP by the next PeekMessageA. Atomic: while a box stands
// the pads are pumped on another thread, and their events pass the filter there.
std::atomic<bool> controlsRequested{false};

// Whether a pad's button going down is its right shoulder. SDL makes its controller events out of the
// joystick's by watching the queue, which sees none of what the filter below drops, so the joystick's own
// button is matched against the controller's.
bool IsRightShoulder(const SDL_JoyButtonEvent& press) {
  SDL_GameController* controller = SDL_GameControllerFromInstanceID(press.which);
  if (controller == nullptr) return false;
  const SDL_GameControllerButtonBind bind =
      SDL_GameControllerGetBindForButton(controller, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
  return bind.bindType == SDL_CONTROLLER_BINDTYPE_BUTTON && bind.value.button == press.button;
}

// The game reads keyboard, mouse and pads as state once per frame, and takes only one queued event per
// frame; input events would pile up in the queue without end, so they are dropped as they arrive. Their
// state (keys held, the pointer's place, sticks) is kept by SDL regardless, and the input devices note
// presses and the pointer on the way, so that a press let go before the next read is not lost. Alt+Enter
// and the ask for the controls are noted too.
int DropInputEvents(void*, SDL_Event* event) {
  switch (event->type) {
    case SDL_KEYDOWN:
      if (event->key.keysym.scancode == SDL_SCANCODE_RETURN && (event->key.keysym.mod & KMOD_ALT) != 0 &&
          event->key.repeat == 0)
        toggleFullscreenRequested = true;
      if (event->key.keysym.scancode == SDL_SCANCODE_F1 && event->key.repeat == 0) controlsRequested = true;
      NoteInputEvent(*event);
      return 0;
    case SDL_JOYBUTTONDOWN:
      if (IsRightShoulder(event->jbutton)) controlsRequested = true;
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

}  // namespace

// The window comes first; the queue then drops input events as they arrive (see DropInputEvents).
WindowHandle CreateGameWindow(const std::string& title, int32_t width, int32_t height) {
  if (Window* made = GameWindow()) return made;
  if (!StartVideo()) return nullptr;  // no display: SDL's error says why
  Window* window = MakeGameWindow(title.c_str(), width, height);
  if (window == nullptr) return nullptr;
  SDL_StopTextInput();
  if (postedEventType == static_cast<Uint32>(-1)) postedEventType = SDL_RegisterEvents(1);
  SDL_SetEventFilter(DropInputEvents, nullptr);
  return window;
}

// One event at most. The window's close request (and a quit from outside, such as Ctrl+C in the terminal)
// and the game's own posted messages keep their meaning, the ask for the controls comes as WM_HELP before
// anything else; everything else is nothing to the game.
bool PeekMessageA(Message& msg) {
  if (toggleFullscreenRequested && GameWindow() != nullptr) {
    toggleFullscreenRequested = false;
    SetGameWindowFullscreen(!GameWindowFullscreen());
    TakeMouse();
  }
  if (controlsRequested.exchange(false)) {
    msg = Message();
    msg.message = WM_HELP;
    return true;
  }
  SDL_Event event;
  if (SDL_PollEvent(&event) == 0) return false;
  msg = Message();
  if (event.type == SDL_QUIT) {
    msg.message = WM_DESTROY;
  } else if (event.type == SDL_WINDOWEVENT) {
    if (event.window.event == SDL_WINDOWEVENT_CLOSE) msg.message = WM_DESTROY;
    NoteWindowEvent(event.window);
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

// The player needs the pointer to dismiss the box, so the mouse is let go meanwhile; any pad answers it
// too (box_from_pad.cpp). A box that cannot be shown (no display) still leaves its text on standard error.
// The game's clock stands while the box does, an ask for the controls made meanwhile is dropped, and the
// game window has the keyboard again afterwards, as the owner of a box would.
void MessageBoxA(WindowHandle owner, const std::string& text, const std::string& caption, uint32_t style) {
  const Uint32 flags =
      (style & MB_ICONEXCLAMATION) == MB_ICONEXCLAMATION ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
  ReleaseMouse();
  const int shown = SDL_ShowCursor(SDL_QUERY);
  SDL_ShowCursor(SDL_ENABLE);
  SDL_Window* parent = owner != nullptr ? owner->sdlWindow : nullptr;
  const Uint32 shownAt = SDL_GetTicks();
  // SDL's dialog now and then fails to open on a busy desktop; a second try almost always shows it, and
  // the text goes to standard error only when no box could be shown at all.
  bool boxShown = false;
  for (int attempt = 0; attempt < 3 && !boxShown; ++attempt) {
    PadAnswerer* answerer = StartAnsweringFromPads(caption);
    boxShown = SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), parent) == 0;
    StopAnsweringFromPads(answerer);
  }
  if (!boxShown) std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  LeaveOutOfTickCount(SDL_GetTicks() - shownAt);
  controlsRequested = false;
  SDL_ShowCursor(shown);
  TakeKeyboard();
  TakeMouse();
}

std::string PlatformError() { return SDL_GetError(); }
