/* Preloaded into the game by scripts/soak-game: counts the frames presented and writes the count to the
   file named by VEMS_FRAMES_FILE once a second of them and when the program ends. */
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

void SDL_RenderPresent(SDL_Renderer* renderer) {
  static void (*real)(SDL_Renderer*);
  if (real == NULL) real = (void (*)(SDL_Renderer*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
  real(renderer);
  if (++presented % 60 == 0) WriteCount();
}
