// Asks the window's X display whether a window manager runs there.
#include "platform/sdl/window_manager.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

// A window manager that follows the desktop conventions names its own window in this root property.
bool WindowManagerOnDisplay(Display* display) {
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
  if (check == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long left = 0;
  unsigned char* data = nullptr;
  const bool read = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                                       &format, &count, &left, &data) == Success;
  if (data != nullptr) XFree(data);
  return read && type == XA_WINDOW && count == 1;
}

bool WindowManagerRunning(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) return true;
  return WindowManagerOnDisplay(info.info.x11.display);
}
