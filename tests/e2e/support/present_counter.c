/* Preloaded into the game by scripts/soak-game and tests/e2e/gl_renderer_xvfb.sh: counts the frames
   shown (by the renderer, or by a copy onto the window's framebuffer where the game draws without a
   graphics card) and writes the count to the file named by VEMS_FRAMES_FILE every 60 of them and
   when the program ends. With VEMS_RENDERER_PRESENTS_ONLY set only the renderer's presents count, so a
   game that draws without the graphics card's path counts none. */
#define _GNU_SOURCE
#include <SDL.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>

static unsigned long presented;

static void WriteCount(void) {
  const char* path = getenv("VEMS_FRAMES_FILE");
  FILE* file = path ? fopen(path, "w") : NULL;
  if (file == NULL) return;
  fprintf(file, "%lu\n", presented);
  fclose(file);
}

__attribute__((destructor)) static void AtExit(void) { WriteCount(); }

static void Count(void) {
  if (++presented % 60 == 0) WriteCount();
}

void SDL_RenderPresent(SDL_Renderer* renderer) {
  static void (*real)(SDL_Renderer*);
  if (real == NULL) real = (void (*)(SDL_Renderer*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
  real(renderer);
  Count();
}

int SDL_UpdateWindowSurface(SDL_Window* window) {
  static int (*real)(SDL_Window*);
  if (real == NULL) real = (int (*)(SDL_Window*))dlsym(RTLD_NEXT, "SDL_UpdateWindowSurface");
  const int result = real(window);
  if (getenv("VEMS_RENDERER_PRESENTS_ONLY") == NULL) Count();
  return result;
}
