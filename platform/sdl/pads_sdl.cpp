// Gamepad stand-in over SDL: up to four game controllers in the XInput record layout, and the buttons
// held on any of them for a message box.
#include "platform/sdl/pads_sdl.h"

#include <SDL.h>

#include <cstring>

#include "platform/input_devices.h"

namespace {

// One connected controller per pad number, in the order they came; the slots behind a controller that
// goes away move up.
struct PadSlot {
  SDL_GameController* controller = nullptr;
  SDL_JoystickID id = -1;
  GamepadState last = {};
  uint32_t packet = 0;
};

PadSlot pads[4];

// Drops controllers that went away and moves the ones behind them up, so that when pad 0 goes (a flat
// battery) the next connected pad is pad 0 at once. Newly plugged ones go behind those in use and take
// over from none.
void RefreshPads() {
  int kept = 0;
  for (int pad = 0; pad < 4; ++pad) {
    PadSlot slot = pads[pad];
    pads[pad] = PadSlot();
    if (slot.controller == nullptr) continue;
    if (SDL_GameControllerGetAttached(slot.controller)) {
      pads[kept++] = slot;
    } else {
      SDL_GameControllerClose(slot.controller);
    }
  }
  const int count = SDL_NumJoysticks();
  for (int index = 0; index < count; ++index) {
    // Open ones first: asking SDL whether a device is a controller looks up its mapping each time, and
    // for some devices (the virtual test pad) that lookup grows with every ask.
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
    bool open = false;
    for (const PadSlot& slot : pads) open = open || (slot.controller != nullptr && slot.id == id);
    if (open || !SDL_IsGameController(index)) continue;
    for (PadSlot& slot : pads) {
      if (slot.controller != nullptr) continue;
      slot.controller = SDL_GameControllerOpen(index);
      slot.id = id;
      break;
    }
  }
}

// SDL's stick is positive downwards, the record's positive up; -32768 (full up) has no positive twin in
// 16 bits, so it becomes 32767.
int16_t Upwards(Sint16 value) { return value == -32768 ? 32767 : static_cast<int16_t>(-value); }

// SDL's triggers run 0..32767, the record's 0..255.
uint8_t Trigger(Sint16 value) { return value <= 0 ? 0 : static_cast<uint8_t>(value * 255 / 32767); }

GamepadState ReadPad(SDL_GameController* controller) {
  static const struct {
    SDL_GameControllerButton button;
    uint16_t bit;
  } kButtons[] = {
      {SDL_CONTROLLER_BUTTON_DPAD_UP, XINPUT_GAMEPAD_DPAD_UP},
      {SDL_CONTROLLER_BUTTON_DPAD_DOWN, XINPUT_GAMEPAD_DPAD_DOWN},
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, XINPUT_GAMEPAD_DPAD_LEFT},
      {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, XINPUT_GAMEPAD_DPAD_RIGHT},
      {SDL_CONTROLLER_BUTTON_START, XINPUT_GAMEPAD_START},
      {SDL_CONTROLLER_BUTTON_BACK, XINPUT_GAMEPAD_BACK},
      {SDL_CONTROLLER_BUTTON_LEFTSTICK, XINPUT_GAMEPAD_LEFT_THUMB},
      {SDL_CONTROLLER_BUTTON_RIGHTSTICK, XINPUT_GAMEPAD_RIGHT_THUMB},
      {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, XINPUT_GAMEPAD_LEFT_SHOULDER},
      {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, XINPUT_GAMEPAD_RIGHT_SHOULDER},
      {SDL_CONTROLLER_BUTTON_A, XINPUT_GAMEPAD_A},
      {SDL_CONTROLLER_BUTTON_B, XINPUT_GAMEPAD_B},
      {SDL_CONTROLLER_BUTTON_X, XINPUT_GAMEPAD_X},
      {SDL_CONTROLLER_BUTTON_Y, XINPUT_GAMEPAD_Y},
  };
  GamepadState state = {};
  for (const auto& b : kButtons)
    if (SDL_GameControllerGetButton(controller, b.button)) state.wButtons |= b.bit;
  state.bLeftTrigger = Trigger(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
  state.bRightTrigger = Trigger(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
  state.sThumbLX = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX);
  state.sThumbLY = Upwards(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY));
  state.sThumbRX = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_RIGHTX);
  state.sThumbRY = Upwards(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_RIGHTY));
  return state;
}

}  // namespace

// Pad 0's query refreshes the list of controllers, once per poll; the sticks and buttons are as of the
// last event pump (the keyboard and mouse reads just before pump).
uint32_t XInputGetState(uint32_t userIndex, XInputState* state) {
  if (userIndex >= 4 || SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0) return ERROR_DEVICE_NOT_CONNECTED;
  if (userIndex == 0) RefreshPads();
  PadSlot& slot = pads[userIndex];
  if (slot.controller == nullptr) return ERROR_DEVICE_NOT_CONNECTED;
  const GamepadState now = ReadPad(slot.controller);
  if (std::memcmp(&now, &slot.last, sizeof now) != 0) ++slot.packet;
  slot.last = now;
  state->dwPacketNumber = slot.packet;
  state->Gamepad = now;
  return ERROR_SUCCESS;
}

bool BoxButtonHeldOnAnyPad() {
  constexpr uint16_t kBoxButtons = XINPUT_GAMEPAD_A | XINPUT_GAMEPAD_START | XINPUT_GAMEPAD_B | XINPUT_GAMEPAD_BACK;
  if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0) return false;
  SDL_GameControllerUpdate();
  RefreshPads();
  for (const PadSlot& slot : pads)
    if (slot.controller != nullptr && (ReadPad(slot.controller).wButtons & kBoxButtons) != 0) return true;
  return false;
}
