// Keyboard, mouse and pad stand-ins over SDL.
// The keyboard state by DirectInput key code, the cursor's move to the pointer's place in picture pixels,
// presses noted as they happen, and up to four game controllers in the XInput record layout.
#include <cmath>
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

// Where the device believes the game's cursor is: where it started it, moved by every motion it reported
// and every pointer move it was told of, kept on the picture as the game keeps it.
int32_t cursorX = 320;
int32_t cursorY = 240;
// The pointer is to be put under the cursor once the window is in front: before that (a window still
// turning full screen) X may not move it, or the picture may not be where it will be.
bool warpPending = false;

int32_t Clamp(int32_t value, int32_t highest) { return value < 0 ? 0 : (value > highest ? highest : value); }

// Where the picture lies in the window, as the device keeps it.
SDL_Rect Picture() {
  Window* window = GameWindow();
  SDL_Rect picture = window != nullptr ? window->picture : SDL_Rect{0, 0, 640, 480};
  if (picture.w <= 0 || picture.h <= 0) picture = SDL_Rect{picture.x, picture.y, 640, 480};
  return picture;
}

// The picture pixel under window pixel (x, y), at any scale; a place beside the picture gives its nearest
// edge.
void PicturePlace(int x, int y, int32_t& px, int32_t& py) {
  const SDL_Rect picture = Picture();
  px = Clamp(static_cast<int32_t>(std::floor((x - picture.x) * 640.0 / picture.w)), 639);
  py = Clamp(static_cast<int32_t>(std::floor((y - picture.y) * 480.0 / picture.h)), 479);
}

// The window pixel in the middle of picture pixel (px, py), which PicturePlace maps back to it.
void WindowPlace(int32_t px, int32_t py, int& x, int& y) {
  const SDL_Rect picture = Picture();
  x = picture.x + static_cast<int>((int64_t{px} * picture.w + picture.w / 2) / 640);
  y = picture.y + static_cast<int>((int64_t{py} * picture.h + picture.h / 2) / 480);
}

// Puts the system pointer under the device's cursor.
void WarpPointerToCursor() {
  Window* window = GameWindow();
  if (window == nullptr) return;
  int x = 0;
  int y = 0;
  WindowPlace(cursorX, cursorY, x, y);
  // SDL does not move a pointer that is held on the picture: let go for the move.
  ReleaseMouse();
  SDL_WarpMouseInWindow(window->sdlWindow, x, y);
  TakeMouse();
}

// The cursor goes where the pointer stands in the picture, whatever moved it (mouse, touchpad, tablet, the
// pointer of a virtual machine or a remote desktop): the record's motion is the cursor's move in picture
// pixels, so the game's cursor step lands it under the pointer. A pointer that did not move leaves the
// cursor to the pad's stick.
void ReadMouse(MouseState& mouse) {
  Window* window = GameWindow();
  // The pointer's first place over the window is not the cursor's: the window just came to lie under it.
  if (warpPending && window != nullptr &&
      (latch.pointerMoved || SDL_GetKeyboardFocus() == window->sdlWindow || SDL_GetMouseFocus() == window->sdlWindow)) {
    WarpPointerToCursor();
    warpPending = false;
    latch.pointerMoved = false;
  }
  const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr) | latch.buttons;
  latch.buttons = 0;
  mouse = MouseState{};
  if (latch.pointerMoved) {
    latch.pointerMoved = false;
    int32_t x = 0;
    int32_t y = 0;
    PicturePlace(latch.pointerX, latch.pointerY, x, y);
    mouse.lX = x - cursorX;
    mouse.lY = y - cursorY;
    cursorX = x;
    cursorY = y;
  }
  mouse.rgbButtons[0] = (buttons & SDL_BUTTON_LMASK) ? 0x80 : 0;
  mouse.rgbButtons[1] = (buttons & SDL_BUTTON_RMASK) ? 0x80 : 0;
  mouse.rgbButtons[2] = (buttons & SDL_BUTTON_MMASK) ? 0x80 : 0;
  mouse.rgbButtons[3] = (buttons & SDL_BUTTON_X1MASK) ? 0x80 : 0;
  TakeMouse();  // the picture may have moved: full screen keeps the pointer on it
}

// Held keys as SDL has them, with the keys that went down since the last read.
void ReadKeyboard(uint8_t keys[256]) {
  int count = 0;
  const Uint8* held = SDL_GetKeyboardState(&count);
  Uint8 seen[SDL_NUM_SCANCODES];
  for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode)
    seen[scancode] = static_cast<Uint8>((scancode < count && held[scancode] != 0) || latch.keys[scancode] != 0);
  std::memset(latch.keys, 0, sizeof latch.keys);
  FillKeyboardState(seen, SDL_NUM_SCANCODES, keys);
}

bool OnGameWindow(Uint32 windowID) {
  Window* window = GameWindow();
  return window != nullptr && windowID == SDL_GetWindowID(window->sdlWindow);
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

// An exclusive mouse is the game's: held on the picture in full screen, free to leave a window. The game's
// cursor starts in the middle of the picture, so the pointer is put there too, once the window is in front:
// the two agree from then on, and the first move of the mouse moves the cursor by just that much.
HRESULT Acquire(InputDevice* device) {
  if (device == nullptr || device->formatSize == 0) return E_INVALIDARG;
  device->acquired = true;
  if (device->guid == DeviceGuid::SysMouse && device->exclusive && device->window != nullptr) {
    device->window->mouseHeld = true;
    TakeMouse();
    latch = Latch();
    cursorX = 320;
    cursorY = 240;
    warpPending = true;
  }
  return S_OK;
}

HRESULT GetDeviceState(InputDevice* device, uint32_t size, void* data) {
  if (device == nullptr || !device->acquired || size != device->formatSize) return E_INVALIDARG;
  SDL_PumpEvents();
  switch (device->guid) {
    case DeviceGuid::SysKeyboard: {
      if (size != 256) return E_INVALIDARG;
      ReadKeyboard(static_cast<uint8_t*>(data));
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

// The pointer follows the cursor while it is over the picture (hidden there), so that the next move of the
// mouse goes on from where the cursor is; elsewhere the cursor goes on alone until the pointer comes back.
HRESULT MovePointer(InputDevice* mouse, int32_t dx, int32_t dy) {
  if (mouse == nullptr || mouse->guid != DeviceGuid::SysMouse) return E_INVALIDARG;
  cursorX = Clamp(cursorX + dx, 639);
  cursorY = Clamp(cursorY + dy, 479);
  if (PointerOverPicture()) WarpPointerToCursor();
  return S_OK;
}

void NoteInputEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
      if (event.key.repeat != 0) break;
      if (event.key.keysym.scancode < SDL_NUM_SCANCODES) latch.keys[event.key.keysym.scancode] = 1;
      if (event.key.keysym.scancode == SDL_SCANCODE_ESCAPE) latch.escape = true;
      break;
    case SDL_MOUSEBUTTONDOWN:
      if (!OnGameWindow(event.button.windowID)) break;
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

bool TakeEscapePress() {
  const bool pressed = latch.escape;
  latch.escape = false;
  return pressed;
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
