// Preloaded into the game by the pad end-to-end runs: one of SDL's virtual game controllers, plugged in as
// soon as the game starts SDL's pads, its buttons and axes set by lines read from the FIFO named by
// VEMS_PAD_FIFO: "button N 1" holds SDL controller button N, "button N 0" lets it go, "axis N V" sets
// axis N to V (-32768..32767).
#include <SDL.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

SDL_Joystick* pad = nullptr;

void ReadCommands() {
  const char* path = std::getenv("VEMS_PAD_FIFO");
  char line[128];
  for (;;) {
    FILE* fifo = path != nullptr ? std::fopen(path, "r") : nullptr;  // waits for the script to open its end
    if (fifo == nullptr) return;
    while (fgets(line, sizeof line, fifo) != NULL) {
      int number = 0;
      int value = 0;
      if (std::sscanf(line, "button %d %d", &number, &value) == 2)
        SDL_JoystickSetVirtualButton(pad, number, static_cast<Uint8>(value));
      if (std::sscanf(line, "axis %d %d", &number, &value) == 2)
        SDL_JoystickSetVirtualAxis(pad, number, static_cast<Sint16>(value));
    }
    std::fclose(fifo);
  }
}

void PlugPad() {
  SDL_VirtualJoystickDesc desc;
  SDL_zero(desc);
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "e2e pad";
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  pad = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
  if (pad == nullptr) {
    std::fprintf(stderr, "virtual_pad: %s\n", SDL_GetError());
    return;
  }
  std::thread(ReadCommands).detach();
}

}  // namespace

extern "C" int SDL_InitSubSystem(Uint32 flags) {
  static auto real = reinterpret_cast<int (*)(Uint32)>(dlsym(RTLD_NEXT, "SDL_InitSubSystem"));
  const int result = real(flags);
  if (result == 0 && pad == nullptr && (flags & (SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER)) != 0) PlugPad();
  return result;
}
