// Input events latched as they arrive over SDL, and the live Escape key (GetAsyncKeyState).
#include "platform/sdl/input_latch.h"

#include <cstring>

#include "platform/input_devices.h"
#include "platform/pad_mapping.h"
#include "platform/sdl/game_window.h"
#include "platform/system.h"

namespace {

// Presses and the pointer's place as the events arrived, for the next read: the game reads state once a
// frame, and a press released between two reads (a touchpad's tap, a quick key) would otherwise be lost.
struct Latch {
  Uint8 keys[SDL_NUM_SCANCODES] = {};  // keys gone down since the last keyboard read
  Uint32 buttons = 0;                  // mouse buttons gone down since the last mouse read
  bool escape = false;                 // Escape gone down since the last live read of it
  bool pointerMoved = false;           // the pointer moved over the window since the last mouse read
  int pointerX = 0;                    // its last place there, in window pixels
  int pointerY = 0;
};

Latch latch;

bool OnGameWindow(Uint32 windowID) {
  Window* window = GameWindow();
  return window != nullptr && windowID == SDL_GetWindowID(window->sdlWindow);
}

// Whether Escape went down since the last ask.
bool TakeEscapePress() {
  const bool pressed = latch.escape;
  latch.escape = false;
  return pressed;
}

}  // namespace

void NoteInputEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
      if (event.key.repeat != 0) break;
      if (event.key.keysym.scancode < SDL_NUM_SCANCODES) latch.keys[event.key.keysym.scancode] = 1;
      if (event.key.keysym.scancode == SDL_SCANCODE_ESCAPE) latch.escape = true;
      break;
    case SDL_MOUSEBUTTONDOWN:
      if (!OnGameWindow(event.button.windowID)) break;
      if (SDL_GetKeyboardFocus() != GameWindow()->sdlWindow) TakeKeyboard();
      if (event.button.button >= 1 && event.button.button <= 32) latch.buttons |= SDL_BUTTON(event.button.button);
      latch.pointerMoved = true;
      latch.pointerX = event.button.x;
      latch.pointerY = event.button.y;
      break;
    case SDL_MOUSEMOTION:
      if (!OnGameWindow(event.motion.windowID)) break;
      latch.pointerMoved = true;
      latch.pointerX = event.motion.x;
      latch.pointerY = event.motion.y;
      break;
    default:
      break;
  }
}

void ForgetInputEvents() { latch = Latch(); }

void TakeKeyPresses(Uint8 (&pressed)[SDL_NUM_SCANCODES]) {
  std::memcpy(pressed, latch.keys, sizeof latch.keys);
  std::memset(latch.keys, 0, sizeof latch.keys);
}

Uint32 TakeButtonPresses() {
  const Uint32 buttons = latch.buttons;
  latch.buttons = 0;
  return buttons;
}

bool PointerMoved() { return latch.pointerMoved; }

bool TakePointerMove(int& x, int& y) {
  if (!latch.pointerMoved) return false;
  latch.pointerMoved = false;
  x = latch.pointerX;
  y = latch.pointerY;
  return true;
}

void ForgetPointerMove() { latch.pointerMoved = false; }

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
