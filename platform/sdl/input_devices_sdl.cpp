// Keyboard, mouse and pad stand-ins over SDL.
// The keyboard state by DirectInput key code, relative mouse motion in the picture's pixels, and up to four
// game controllers in the XInput record layout.
#include <cstring>

#include "platform/input_devices.h"
#include "platform/sdl/game_window.h"
#include "platform/sdl/key_codes.h"

struct InputSystem {};

struct InputDevice {
  DeviceGuid guid = DeviceGuid::SysKeyboard;
  uint32_t formatSize = 0;
  bool exclusive = false;
  Window* window = nullptr;
  bool acquired = false;
};

namespace {

// One connected controller per pad number; a slot is freed when its controller goes away.
struct PadSlot {
  SDL_GameController* controller = nullptr;
  SDL_JoystickID id = -1;
  GamepadState last = {};
  uint32_t packet = 0;
};

PadSlot pads[4];

// Motion left over from dividing by the picture's scale, so slow moves are not lost.
double carryX = 0.0;
double carryY = 0.0;

// Drops controllers that went away and gives newly plugged ones the lowest free pad number.
void RefreshPads() {
  for (PadSlot& slot : pads) {
    if (slot.controller != nullptr && !SDL_GameControllerGetAttached(slot.controller)) {
      SDL_GameControllerClose(slot.controller);
      slot = PadSlot();
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
      {SDL_CONTROLLER_BUTTON_DPAD_UP, 0x0001},      {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 0x0002},
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0x0004},    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0x0008},
      {SDL_CONTROLLER_BUTTON_START, 0x0010},        {SDL_CONTROLLER_BUTTON_BACK, 0x0020},
      {SDL_CONTROLLER_BUTTON_LEFTSTICK, 0x0040},    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, 0x0080},
      {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0x0100}, {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 0x0200},
      {SDL_CONTROLLER_BUTTON_A, 0x1000},            {SDL_CONTROLLER_BUTTON_B, 0x2000},
      {SDL_CONTROLLER_BUTTON_X, 0x4000},            {SDL_CONTROLLER_BUTTON_Y, 0x8000},
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

// The picture's scale on screen, 1 before there is a device.
double PictureScale() {
  Window* window = GameWindow();
  if (window == nullptr || window->renderer == nullptr) return 1.0;
  return window->picture.w / 640.0;
}

// Truncates motion / scale toward zero and keeps the rest for the next read.
int32_t Scaled(int motion, double scale, double& carry) {
  carry += motion;
  const auto whole = static_cast<int32_t>(carry / scale);
  carry -= whole * scale;
  return whole;
}

void ReadMouse(MouseState& mouse) {
  int dx = 0;
  int dy = 0;
  const Uint32 buttons = SDL_GetRelativeMouseState(&dx, &dy);
  // SDL reports motion in window pixels; the game's cursor moves in picture pixels. Dividing by the
  // scale keeps the cursor at the desktop pointer's speed on screen when the picture is scaled up.
  const double scale = PictureScale();
  mouse = MouseState{};
  mouse.lX = Scaled(dx, scale, carryX);
  mouse.lY = Scaled(dy, scale, carryY);
  mouse.rgbButtons[0] = (buttons & SDL_BUTTON_LMASK) ? 0x80 : 0;
  mouse.rgbButtons[1] = (buttons & SDL_BUTTON_RMASK) ? 0x80 : 0;
  mouse.rgbButtons[2] = (buttons & SDL_BUTTON_MMASK) ? 0x80 : 0;
  mouse.rgbButtons[3] = (buttons & SDL_BUTTON_X1MASK) ? 0x80 : 0;
}

}  // namespace

// Pads are optional: without the controller subsystem they simply read as not connected.
HRESULT DirectInput8Create(uint32_t version, InputSystem** system) {
  *system = nullptr;
  if (version != DIRECTINPUT_VERSION) return E_INVALIDARG;
  SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
  *system = new InputSystem;
  return S_OK;
}

HRESULT CreateDevice(InputSystem* system, DeviceGuid guid, InputDevice** device) {
  *device = nullptr;
  if (system == nullptr) return E_INVALIDARG;
  *device = new InputDevice;
  (*device)->guid = guid;
  return S_OK;
}

HRESULT SetDataFormat(InputDevice* device, const DataFormat& format) {
  if (device == nullptr) return E_INVALIDARG;
  device->formatSize = format.size;
  return S_OK;
}

HRESULT SetCooperativeLevel(InputDevice* device, WindowHandle window, uint32_t flags) {
  if (device == nullptr || window == nullptr) return E_INVALIDARG;
  device->window = window;
  device->exclusive = (flags & DISCL_EXCLUSIVE) != 0;
  return S_OK;
}

// An exclusive mouse is the game's: relative mode, pointer hidden and held in the window. Motion made
// before that moment is not the game's to see.
HRESULT Acquire(InputDevice* device) {
  if (device == nullptr || device->formatSize == 0) return E_INVALIDARG;
  device->acquired = true;
  if (device->guid == DeviceGuid::SysMouse && device->exclusive && device->window != nullptr) {
    device->window->mouseHeld = true;
    TakeMouse();
    SDL_GetRelativeMouseState(nullptr, nullptr);
    carryX = carryY = 0.0;
  }
  return S_OK;
}

HRESULT GetDeviceState(InputDevice* device, uint32_t size, void* data) {
  if (device == nullptr || !device->acquired || size != device->formatSize) return E_INVALIDARG;
  SDL_PumpEvents();
  switch (device->guid) {
    case DeviceGuid::SysKeyboard: {
      if (size != 256) return E_INVALIDARG;
      int count = 0;
      const Uint8* keys = SDL_GetKeyboardState(&count);
      FillKeyboardState(keys, count, static_cast<uint8_t*>(data));
      break;
    }
    case DeviceGuid::SysMouse: {
      if (size != sizeof(MouseState)) return E_INVALIDARG;
      MouseState mouse;
      ReadMouse(mouse);
      std::memcpy(data, &mouse, sizeof mouse);
      break;
    }
  }
  return S_OK;
}

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
