// The input layer: keyboard, relative mouse and four pads read once a frame into the published records.
#include "platform/input.h"

#include <cstring>

#include "platform/graphics.h"
#include "platform/input_devices.h"

uint8_t keyboardState[256] = {};
MouseState mouseState = {};
GamepadState padStates[4] = {};

namespace {

// The devices, made once by InitInput and kept for the whole run.
InputSystem* inputSystem = nullptr;
InputDevice* keyboardDevice = nullptr;
InputDevice* mouseDevice = nullptr;

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
}
