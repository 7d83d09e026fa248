// A small program for the end-to-end input check, printing what each poll sees.
// The game's window, device and input layer; keys going down and up, mouse motion and buttons are printed
// until the window is closed or 20 seconds pass.
#include <algorithm>
#include <cstdio>

#include "game/game.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/picture_size.h"
#include "platform/sdl/test_hooks.h"
#include "platform/system.h"
#include "platform/tick_count.h"

int main() {
  WindowHandle window = CreateGameWindow("Vems input probe", kPictureWidth, kPictureHeight);
  if (window == nullptr || !InitGraphics(window, kPictureWidth, kPictureHeight, true) || !InitInput(window)) {
    std::fprintf(stderr, "input probe: cannot start: %s\n", PlatformError().c_str());
    return 1;
  }
  std::printf("ready (renderer %s)\n", RendererName().c_str());
  std::fflush(stdout);

  uint8_t before[256] = {};
  uint8_t buttonsBefore[4] = {};
  const uint32_t start = GetTickCount();
  int frames = 0;
  while (GetTickCount() - start < 20000) {
    ++frames;
    Message msg;
    if (PeekMessageA(msg) && msg.message == WM_DESTROY) break;
    PollInput();
    for (int key = 0; key < 256; ++key) {
      if (keyboardState[key] != before[key]) std::printf("key 0x%02X %s\n", key, keyboardState[key] ? "down" : "up");
      before[key] = keyboardState[key];
    }
    if (mouseState.lX != 0 || mouseState.lY != 0) std::printf("motion %d %d\n", mouseState.lX, mouseState.lY);
    // The game's cursor step, which the mouse measures its next move from.
    cursorX = std::clamp(cursorX + mouseState.lX, 0, kPictureWidth - 1);
    cursorY = std::clamp(cursorY + mouseState.lY, 0, kPictureHeight - 1);
    for (int b = 0; b < 4; ++b) {
      if (mouseState.rgbButtons[b] != buttonsBefore[b])
        std::printf("button %d %s\n", b, mouseState.rgbButtons[b] ? "down" : "up");
      buttonsBefore[b] = mouseState.rgbButtons[b];
    }
    std::fflush(stdout);
    BeginScene(graphicsDevice);
    EndScene(graphicsDevice);
    Present(graphicsDevice);
  }
  std::printf("frames %d in %u ms\n", frames, GetTickCount() - start);
  return 0;
}
