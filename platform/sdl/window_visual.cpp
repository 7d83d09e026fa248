// The game window's X visual chosen for our framebuffer copy, looked up on a short-lived connection of ours.
#include "platform/sdl/window_visual.h"

#include <SDL.h>

#include <string>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// A channel of 8 bits: one run of eight set bits.
bool EightBits(unsigned long mask) {
  if (mask == 0) return false;
  while ((mask & 1) == 0) mask >>= 1;
  return mask == 0xff;
}

bool EightBitChannels(const XVisualInfo& visual) {
  return EightBits(visual.red_mask) && EightBits(visual.green_mask) && EightBits(visual.blue_mask);
}

// SDL gives a window of this visual a framebuffer our copy writes: 15 or 16 bits, or 8-bit channels in 24
// or 32 (a depth-30 visual, whose 10-bit channels SDL's framebuffer does not take, and colour maps have none).
bool CopyWritesOn(const XVisualInfo& visual) {
  if (visual.c_class != TrueColor) return false;
  if (visual.depth == 15 || visual.depth == 16) return true;
  return (visual.depth == 24 || visual.depth == 32) && EightBitChannels(visual);
}

// The screen's TrueColor visual of 8-bit channels at depth 24, else 32 (where a compositor's alpha is opaque
// in every pixel we write); 0 where it has none.
VisualID EightBitVisual(Display* display, int screen) {
  XVisualInfo wanted{};
  wanted.screen = screen;
  wanted.c_class = TrueColor;
  int count = 0;
  XVisualInfo* visuals = XGetVisualInfo(display, VisualScreenMask | VisualClassMask, &wanted, &count);
  VisualID found = 0;
  for (int depth : {24, 32}) {
    for (int i = 0; i < count && found == 0; ++i)
      if (visuals[i].depth == depth && EightBitChannels(visuals[i])) found = visuals[i].visualid;
  }
  if (visuals != nullptr) XFree(visuals);
  return found;
}

bool OnX() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver != nullptr && SDL_strcasecmp(driver, "x11") == 0;
}

}  // namespace

// SDL itself would make the window with the default visual (or, for OpenGL, one the driver picks), so the
// visual is handed to it in its hint; a player's own setting of it, in the environment, stays.
void ChooseWindowVisual() {
  const char* asked = SDL_GetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID);
  if (!OnX() || (asked != nullptr && *asked != '\0')) return;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return;
  const int screen = DefaultScreen(display);
  XVisualInfo wanted{};
  wanted.visualid = XVisualIDFromVisual(DefaultVisual(display, screen));
  int count = 0;
  XVisualInfo* current = XGetVisualInfo(display, VisualIDMask, &wanted, &count);
  const bool keep = current != nullptr && count > 0 && CopyWritesOn(current[0]);
  if (current != nullptr) XFree(current);
  const VisualID chosen = keep ? 0 : EightBitVisual(display, screen);
  XCloseDisplay(display);
  if (chosen != 0) SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, std::to_string(chosen).c_str());
}
