/* Preloaded into the game by scripts/soak-game, the display benchmarks and tests/e2e/gl_renderer_xvfb.sh:
   counts the frames shown (by the renderer, or by a copy onto the window's framebuffer where the game
   draws without a graphics card: SDL's, or at X depth 30 the game's own, which it puts into the window
   itself) and writes the count to the file named by VEMS_FRAMES_FILE every 60 of them and when the
   program ends. With VEMS_RENDERER_PRESENTS_ONLY set only the renderer's presents count, so a game that
   draws without the graphics card's path counts none. */
#define _GNU_SOURCE
#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

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

/* Whether the caller is the program itself, not a library: SDL and OpenGL put images too, and their
   frames are counted above. */
static int FromTheProgram(void* address) {
  Dl_info caller;
  return dladdr(address, &caller) != 0 && caller.dli_fname != NULL && strstr(caller.dli_fname, ".so") == NULL;
}

int XPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int fromX, int fromY, int toX, int toY,
              unsigned width, unsigned height) {
  static int (*real)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned, unsigned);
  if (real == NULL)
    real = (int (*)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned, unsigned))dlsym(RTLD_NEXT, "XPutImage");
  const int result = real(display, drawable, gc, image, fromX, fromY, toX, toY, width, height);
  if (getenv("VEMS_RENDERER_PRESENTS_ONLY") == NULL && FromTheProgram(__builtin_return_address(0))) Count();
  return result;
}

Bool XShmPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int fromX, int fromY, int toX, int toY,
                  unsigned width, unsigned height, Bool sendEvent) {
  static Bool (*real)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned, unsigned, Bool);
  if (real == NULL)
    real = (Bool (*)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned, unsigned, Bool))dlsym(
        RTLD_NEXT, "XShmPutImage");
  const Bool result = real(display, drawable, gc, image, fromX, fromY, toX, toY, width, height, sendEvent);
  if (getenv("VEMS_RENDERER_PRESENTS_ONLY") == NULL && FromTheProgram(__builtin_return_address(0))) Count();
  return result;
}
