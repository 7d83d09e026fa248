/* Start-up probe, preloaded into the game by bench/startup_xvfb.sh: notes the wall-clock time (in
   microseconds) when the help box is shown, when it is dismissed, and when the first frame has been
   presented (through the renderer on a graphics card, straight onto the window's framebuffer without
   one), one "name time" line each in the file named by VEMS_PROBE_FILE. */
#define _GNU_SOURCE
#include <SDL.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static void Note(const char* name) {
  const char* path = getenv("VEMS_PROBE_FILE");
  FILE* file = path ? fopen(path, "a") : NULL;
  if (file == NULL) return;
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  fprintf(file, "%s %lld\n", name, (long long)now.tv_sec * 1000000 + now.tv_nsec / 1000);
  fclose(file);
}

int SDL_ShowSimpleMessageBox(Uint32 flags, const char* title, const char* message, SDL_Window* window) {
  static int (*real)(Uint32, const char*, const char*, SDL_Window*);
  if (real == NULL) real = (int (*)(Uint32, const char*, const char*, SDL_Window*))dlsym(RTLD_NEXT, "SDL_ShowSimpleMessageBox");
  Note("box_shown");
  const int result = real(flags, title, message, window);
  Note("box_dismissed");
  return result;
}

static void Presented(void) {
  static int presented;
  if (!presented++) Note("first_present");
}

void SDL_RenderPresent(SDL_Renderer* renderer) {
  static void (*real)(SDL_Renderer*);
  if (real == NULL) real = (void (*)(SDL_Renderer*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
  real(renderer);
  Presented();
}

int SDL_UpdateWindowSurface(SDL_Window* window) {
  static int (*real)(SDL_Window*);
  if (real == NULL) real = (int (*)(SDL_Window*))dlsym(RTLD_NEXT, "SDL_UpdateWindowSurface");
  const int result = real(window);
  Presented();
  return result;
}
