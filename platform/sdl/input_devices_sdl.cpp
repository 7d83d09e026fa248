// Keyboard and mouse stand-ins over SDL.
// The keyboard state by DirectInput key code, and the cursor's move to the pointer's place in picture
// pixels, mapped through the window's one record of where the picture lies, measured from the game's own
// cursor. Presses come from the latch.
#include <cmath>
#include <cstring>

#include "game/game.h"
#include "platform/input_devices.h"
#include "platform/sdl/game_window.h"
#include "platform/sdl/input_latch.h"
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

// The pointer is to be put under the cursor once the window is in front: before that (a window still
// turning full screen) X may not move it, or the picture may not be where it will be.
bool warpPending = false;

int32_t Clamp(int32_t value, int32_t highest) { return value < 0 ? 0 : (value > highest ? highest : value); }

// Where the picture lies in the window, as the window keeps it.
SDL_Rect Picture(const Window* window) {
  SDL_Rect picture = window != nullptr ? window->picture : SDL_Rect{0, 0, kPictureWidth, kPictureHeight};
  if (picture.w <= 0 || picture.h <= 0) picture = SDL_Rect{picture.x, picture.y, kPictureWidth, kPictureHeight};
  return picture;
}

// The picture pixel under window pixel (x, y), at any scale; a place beside the picture gives its nearest
// edge.
void PicturePlace(const Window* window, int x, int y, int32_t& px, int32_t& py) {
  const SDL_Rect picture = Picture(window);
  px = Clamp(static_cast<int32_t>(std::floor((x - picture.x) * double{kPictureWidth} / picture.w)), kPictureWidth - 1);
  py = Clamp(static_cast<int32_t>(std::floor((y - picture.y) * double{kPictureHeight} / picture.h)),
             kPictureHeight - 1);
}

// The window pixel in the middle of picture pixel (px, py), which PicturePlace maps back to it.
void WindowPlace(const Window* window, int32_t px, int32_t py, int& x, int& y) {
  const SDL_Rect picture = Picture(window);
  x = picture.x + static_cast<int>((int64_t{px} * picture.w + picture.w / 2) / kPictureWidth);
  y = picture.y + static_cast<int>((int64_t{py} * picture.h + picture.h / 2) / kPictureHeight);
}

// Puts the system pointer under picture pixel (px, py).
void WarpPointerTo(Window* window, int32_t px, int32_t py) {
  if (window == nullptr) return;
  int x = 0;
  int y = 0;
  WindowPlace(window, px, py, x, y);
  // SDL does not move a pointer that is held on the picture: let go for the move.
  ReleaseMouse();
  SDL_WarpMouseInWindow(window->sdlWindow, x, y);
  TakeMouse();
}

// The cursor goes where the pointer stands in the picture, whatever moved it (mouse, touchpad, tablet, the
// pointer of a virtual machine or a remote desktop): the record's motion is the cursor's move in picture
// pixels, so the game's cursor step lands it under the pointer. A pointer that did not move leaves the
// cursor to the pad's stick.
void ReadMouse(Window* window, MouseState& mouse) {
  // The pointer's first place over the window is not the cursor's: the window just came to lie under it.
  if (warpPending && window != nullptr &&
      (PointerMoved() || SDL_GetKeyboardFocus() == window->sdlWindow || SDL_GetMouseFocus() == window->sdlWindow)) {
    WarpPointerTo(window, cursorX, cursorY);
    warpPending = false;
    ForgetPointerMove();
  }
  const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr) | TakeButtonPresses();
  mouse = MouseState{};
  int pointerX = 0;
  int pointerY = 0;
  if (TakePointerMove(pointerX, pointerY)) {
    int32_t x = 0;
    int32_t y = 0;
    PicturePlace(window, pointerX, pointerY, x, y);
    mouse.lX = x - cursorX;
    mouse.lY = y - cursorY;
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
  TakeKeyPresses(seen);
  for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode)
    seen[scancode] = static_cast<Uint8>((scancode < count && held[scancode] != 0) || seen[scancode] != 0);
  FillKeyboardState(seen, SDL_NUM_SCANCODES, keys);
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
    ForgetInputEvents();
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
      ReadMouse(device->window, mouse);
      std::memcpy(data, &mouse, sizeof mouse);
      break;
    }
  }
  return S_OK;
}

// The pointer follows the cursor while it is over the picture (hidden there), so that the next move of the
// mouse goes on from where the cursor is; elsewhere the cursor goes on alone until the pointer comes back.
// It goes where the game's cursor step of this poll lands: the cursor moved by the whole record, which
// holds this move already, kept on the picture as the game keeps it.
HRESULT MovePointer(InputDevice* mouse, int32_t, int32_t) {
  if (mouse == nullptr || mouse->guid != DeviceGuid::SysMouse) return E_INVALIDARG;
  if (PointerOverPicture())
    WarpPointerTo(mouse->window, Clamp(cursorX + mouseState.lX, kPictureWidth - 1),
                  Clamp(cursorY + mouseState.lY, kPictureHeight - 1));
  return S_OK;
}

