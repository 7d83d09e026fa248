// Test hooks into the SDL stand-ins: screen read-back, window size, pushed input events and a virtual gamepad.
#include "platform/sdl/test_hooks.h"

#include "platform/sdl/game_window.h"

namespace {

struct TestPad {
  SDL_Joystick* joystick = nullptr;
  SDL_JoystickID id = -1;
};

TestPad testPads[2];

TestPad* PadNumbered(int32_t which) { return which == 0 || which == 1 ? &testPads[which] : nullptr; }

// Whether the renderer draws on the graphics card (the software one draws into memory).
bool DrawsOnTheCard(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  return renderer != nullptr && SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) == 0;
}

// The window's pixels as the card's renderer last presented them, read back from its back buffer: software
// OpenGL (the only one under Xvfb) leaves it as it was presented.
bool ReadPresented(SDL_Renderer* renderer, std::vector<uint32_t>& argb, int32_t& width, int32_t& height) {
  if (SDL_GetRenderTarget(renderer) != nullptr || SDL_GetRendererOutputSize(renderer, &width, &height) != 0)
    return false;
  argb.assign(static_cast<size_t>(width) * height, 0);
  return SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, argb.data(), width * 4) == 0;
}

}  // namespace

bool ReadScreen(std::vector<uint32_t>& argb, int32_t& width, int32_t& height) {
  Window* window = GameWindow();
  if (window == nullptr) return false;
  if (DrawsOnTheCard(window->renderer)) return ReadPresented(window->renderer, argb, width, height);
  SDL_Surface* screen = SDL_GetWindowSurface(window->sdlWindow);
  if (screen == nullptr) return false;
  SDL_Surface* copy = SDL_ConvertSurfaceFormat(screen, SDL_PIXELFORMAT_ARGB8888, 0);
  if (copy == nullptr) return false;
  width = copy->w;
  height = copy->h;
  argb.assign(static_cast<size_t>(width) * height, 0);
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(copy->pixels) + y * copy->pitch);
    for (int x = 0; x < width; ++x) argb[static_cast<size_t>(y) * width + x] = row[x];
  }
  SDL_FreeSurface(copy);
  return true;
}

// A full-screen window is made a window first: SDL keeps a full-screen window's size.
void ResizeGameWindow(int32_t width, int32_t height) {
  Window* window = GameWindow();
  if (window == nullptr) return;
  SetGameWindowFullscreen(false);
  SDL_SetWindowSize(window->sdlWindow, width, height);
  SDL_PumpEvents();
}

void SetTestFullscreen(bool full) { SetGameWindowFullscreen(full); }

void PushTestExpose() {
  Window* window = GameWindow();
  if (window == nullptr) return;
  SDL_Event event;
  SDL_zero(event);
  event.type = SDL_WINDOWEVENT;
  event.window.event = SDL_WINDOWEVENT_EXPOSED;
  event.window.windowID = SDL_GetWindowID(window->sdlWindow);
  SDL_PushEvent(&event);
}

void PaintTestScreen(uint32_t argb) {
  Window* window = GameWindow();
  if (window == nullptr || DrawsOnTheCard(window->renderer)) return;
  SDL_Surface* screen = SDL_GetWindowSurface(window->sdlWindow);
  if (screen == nullptr) return;
  SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, argb >> 16 & 0xFF, argb >> 8 & 0xFF, argb & 0xFF));
}

std::string RendererName() {
  Window* window = GameWindow();
  SDL_RendererInfo info;
  if (window == nullptr || window->renderer == nullptr || SDL_GetRendererInfo(window->renderer, &info) != 0) return "";
  return info.name;
}

bool PlugTestPad(int32_t which) {
  TestPad* pad = PadNumbered(which);
  if (pad == nullptr || pad->joystick != nullptr) return false;
  // The window never has focus on the dummy driver; SDL would otherwise ignore the pad.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
  SDL_VirtualJoystickDesc desc;
  SDL_zero(desc);
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "test pad";
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  if (index < 0) return false;
  pad->joystick = SDL_JoystickOpen(index);
  pad->id = pad->joystick != nullptr ? SDL_JoystickInstanceID(pad->joystick) : -1;
  return pad->joystick != nullptr;
}

void SetTestPadAxis(int32_t axis, int16_t value, int32_t which) {
  TestPad* pad = PadNumbered(which);
  if (pad != nullptr && pad->joystick != nullptr) SDL_JoystickSetVirtualAxis(pad->joystick, axis, value);
}

void SetTestPadButton(int32_t button, bool held, int32_t which) {
  TestPad* pad = PadNumbered(which);
  if (pad != nullptr && pad->joystick != nullptr) SDL_JoystickSetVirtualButton(pad->joystick, button, held ? 1 : 0);
}

// The device index of a virtual pad changes as others come and go; its instance finds it.
void UnplugTestPad(int32_t which) {
  TestPad* pad = PadNumbered(which);
  if (pad == nullptr || pad->joystick == nullptr) return;
  SDL_JoystickClose(pad->joystick);
  for (int index = 0; index < SDL_NumJoysticks(); ++index) {
    if (SDL_JoystickGetDeviceInstanceID(index) != pad->id) continue;
    SDL_JoystickDetachVirtual(index);
    break;
  }
  *pad = TestPad();
}

void PushTestKey(int32_t scancode, bool down) {
  SDL_Event event;
  SDL_zero(event);
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
  SDL_PushEvent(&event);
}

void PushTestMouseButton(int32_t button, bool down, int32_t x, int32_t y) {
  SDL_Event event;
  SDL_zero(event);
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.windowID = GameWindow() != nullptr ? SDL_GetWindowID(GameWindow()->sdlWindow) : 0;
  event.button.button = static_cast<Uint8>(button);
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.x = x;
  event.button.y = y;
  SDL_PushEvent(&event);
}

void PushTestPointerMotion(int32_t x, int32_t y) {
  SDL_Event event;
  SDL_zero(event);
  event.type = SDL_MOUSEMOTION;
  event.motion.windowID = GameWindow() != nullptr ? SDL_GetWindowID(GameWindow()->sdlWindow) : 0;
  event.motion.x = x;
  event.motion.y = y;
  SDL_PushEvent(&event);
}

void PutTestPointer(int32_t x, int32_t y) {
  if (GameWindow() != nullptr) SDL_WarpMouseInWindow(GameWindow()->sdlWindow, x, y);
  SDL_PumpEvents();
}

bool SystemCursorShown() { return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE; }

void SetTestPicture(int32_t x, int32_t y, int32_t width, int32_t height) {
  if (GameWindow() != nullptr) GameWindow()->picture = SDL_Rect{x, y, width, height};
}
