// The frame pacing at each present: the display's refresh rate and the clock handed to the pacer.
#include "platform/sdl/present_pacing.h"

#include <chrono>
#include <thread>

#include "platform/sdl/game_window.h"
#include "platform/sdl/picture_sdl.h"
#include "platform/sdl/test_hooks.h"

namespace {

using Clock = std::chrono::steady_clock;

bool pacingOn = true;  // off only for benchmarks (SetPresentPacing)

// The display's refresh rate, 0 where the display does not say.
int32_t RefreshRate(SDL_Window* window) {
  SDL_DisplayMode mode;
  const int display = SDL_GetWindowDisplayIndex(window);
  if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0) return mode.refresh_rate;
  return 0;
}

int64_t NowMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
}

}  // namespace

FramePacer StartFramePacing(Picture& picture) {
  const int32_t refresh = RefreshRate(picture.window->sdlWindow);
  const bool waits = PaceByRetrace(refresh, picture.vsync);
  if (picture.vsync && !waits) picture.vsync = SDL_RenderSetVSync(picture.renderer, 0) != 0;
  return StartPacing(refresh, waits);
}

void PaceFrame(FramePacer& pacer, Picture& picture, bool presented) {
  if (!pacingOn) return;
  if (presented) {
    NoteNewFrame(pacer, NowMicros());
  } else {
    NoteFrameNotPresented(pacer, NowMicros());
  }
  HoldUntilNextFrame(pacer, NowMicros, [](int64_t until) {
    std::this_thread::sleep_until(Clock::time_point(std::chrono::microseconds(until)));
  });
  if (picture.vsync && !pacer.waitsForRetrace) picture.vsync = SDL_RenderSetVSync(picture.renderer, 0) != 0;
}

void SetPresentPacing(bool on) { pacingOn = on; }
