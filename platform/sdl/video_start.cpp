// SDL's video started on a real display, or a "no display" error that says why.
#include "platform/sdl/video_start.h"

#include <SDL.h>

#include <string>

namespace {

// Drivers that draw where nobody sees it; tests and benchmarks ask for them by name.
bool DrawsNowhere(const char* driver) {
  return driver != nullptr && (SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0);
}

// Whether SDL_VIDEODRIVER, a comma-separated list, names driver.
bool AskedForByName(const char* driver) {
  const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
  if (asked == nullptr || driver == nullptr) return false;
  const std::string list = asked;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    if (SDL_strcasecmp(list.substr(start, end - start).c_str(), driver) == 0) return true;
    start = end + 1;
  }
  return false;
}

// A variable's value for the message, or "unset".
std::string Shown(const char* name) {
  const char* value = SDL_getenv(name);
  return value != nullptr ? "\"" + std::string(value) + "\"" : "unset";
}

}  // namespace

bool StartVideo() {
  std::string reasons;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    reasons = SDL_GetError();
  } else {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!DrawsNowhere(driver) || AskedForByName(driver)) return true;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    // SDL passed over the real drivers without a word; asking each one by name gets its own reason.
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
      const char* name = SDL_GetVideoDriver(i);
      if (DrawsNowhere(name)) continue;
      SDL_ClearError();
      if (SDL_VideoInit(name) == 0) {
        // It answers now but did not a moment ago (an X server resetting as its last client left, say):
        // the game starts on it rather than refusing a display that is there.
        SDL_VideoQuit();
        SDL_SetHint(SDL_HINT_VIDEODRIVER, name);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
      }
      const std::string reason = SDL_GetError();
      reasons += (reasons.empty() ? "" : "; ") + (reason.empty() ? std::string(name) + " did not start" : reason);
    }
  }
  SDL_SetError("no display: %s. Check DISPLAY (%s), WAYLAND_DISPLAY (%s) and SDL_VIDEODRIVER (%s)", reasons.c_str(),
               Shown("DISPLAY").c_str(), Shown("WAYLAND_DISPLAY").c_str(), Shown("SDL_VIDEODRIVER").c_str());
  return false;
}
