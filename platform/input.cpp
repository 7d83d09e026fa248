// The input layer: keyboard, mouse and four pads read once a frame into the published records.
#include "platform/input.h"

#include <cstring>

#include "platform/graphics.h"
#include "platform/input_devices.h"
#include "platform/pad_mapping.h"
#include "platform/tick_count.h"

uint8_t keyboardState[256] = {};
MouseState mouseState = {};
GamepadState padStates[4] = {};

namespace {

// The devices, made once by InitInput and kept for the whole run.
InputSystem* inputSystem = nullptr;
InputDevice* keyboardDevice = nullptr;
InputDevice* mouseDevice = nullptr;

// The right stick's cursor motion is paced by the clock, not by the frame rate.
bool polledBefore = false;
uint32_t lastPollTick = 0;
float stickCarry[2] = {};

// A longer gap (the window dragged, a stall) moves the cursor no further than this.
constexpr uint32_t LONGEST_STICK_STEP_MS = 50;

// Pad 0 plays as keyboard and mouse as well: its buttons hold keys and the left button, its right stick
// moves the cursor, which the mouse is told about so that its pointer goes along.
void AddPadZero(uint32_t elapsedMs) {
  MapPadButtons(padStates[0], keyboardState, mouseState);
  int32_t dx = 0;
  int32_t dy = 0;
  PadCursorMotion(padStates[0], elapsedMs, stickCarry, dx, dy);
  if (dx == 0 && dy == 0) return;
  mouseState.lX += dx;
  mouseState.lY += dy;
  MovePointer(mouseDevice, dx, dy);
}

}  // namespace

// Keyboard shared with other programs, mouse owned by the game while it is in front; no device cursor.
bool InitInput(WindowHandle window) {
  DirectInput8Create(DIRECTINPUT_VERSION, &inputSystem);

  CreateDevice(inputSystem, GUID_SysKeyboard, &keyboardDevice);
  SetDataFormat(keyboardDevice, c_dfDIKeyboard);
  SetCooperativeLevel(keyboardDevice, window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
  Acquire(keyboardDevice);

  CreateDevice(inputSystem, GUID_SysMouse, &mouseDevice);
  SetDataFormat(mouseDevice, c_dfDIMouse);
  SetCooperativeLevel(mouseDevice, window, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
  Acquire(mouseDevice);

  ShowDeviceCursor(graphicsDevice, false);
  return true;
}

// Mouse, keyboard, then each pad cleared and filled only when it answers. A failed device read (the window
// in the background, say) reads as no motion and nothing held: a stale record would keep the cursor
// drifting and a key walking.
void PollInput() {
  if (FAILED(GetDeviceState(mouseDevice, sizeof mouseState, &mouseState))) mouseState = MouseState{};
  if (FAILED(GetDeviceState(keyboardDevice, sizeof keyboardState, keyboardState)))
    std::memset(keyboardState, 0, sizeof keyboardState);

  for (uint32_t pad = 0; pad < 4; ++pad) {
    std::memset(&padStates[pad], 0, sizeof padStates[pad]);
    XInputState state{};
    if (XInputGetState(pad, &state) == ERROR_SUCCESS) padStates[pad] = state.Gamepad;
  }

  const uint32_t now = GetTickCount();
  const uint32_t elapsed = polledBefore ? now - lastPollTick : 0;
  polledBefore = true;
  lastPollTick = now;
  AddPadZero(elapsed < LONGEST_STICK_STEP_MS ? elapsed : LONGEST_STICK_STEP_MS);
}

// Codes outside the record read as not held.
int32_t IsKeyDown(int32_t keyCode) {
  if (keyCode < 0 || keyCode > 255) return 0;
  return keyboardState[keyCode] & 0x80;
}

void ResetInput() {
  std::memset(keyboardState, 0, sizeof keyboardState);
  mouseState = MouseState{};
  std::memset(padStates, 0, sizeof padStates);
  inputSystem = nullptr;
  keyboardDevice = nullptr;
  mouseDevice = nullptr;
  polledBefore = false;
  lastPollTick = 0;
  stickCarry[0] = stickCarry[1] = 0.0f;
}
