// Asks the window's X display whether a window manager runs there, through the X library SDL already
// loaded (the game links no X library of its own).
#include "platform/sdl/window_manager.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <dlfcn.h>

namespace {

// The X library functions asked for, from the copy SDL loaded.
struct XLibrary {
  void* handle = nullptr;
  decltype(&XInternAtom) internAtom = nullptr;
  decltype(&XDefaultRootWindow) rootWindow = nullptr;
  decltype(&XGetWindowProperty) getProperty = nullptr;
  decltype(&XFree) free = nullptr;
};

template <typename Function>
void Find(void* handle, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(handle, name));
}

// A window manager that follows the desktop conventions names its own window in this root property.
bool SupportingWindowNamed(const XLibrary& x, Display* display) {
  const Atom check = x.internAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
  if (check == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long left = 0;
  unsigned char* data = nullptr;
  const bool read = x.getProperty(display, x.rootWindow(display), check, 0, 1, False, XA_WINDOW, &type, &format,
                                  &count, &left, &data) == Success;
  if (data != nullptr) x.free(data);
  return read && type == XA_WINDOW && count == 1;
}

}  // namespace

bool WindowManagerRunning(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) return true;
  XLibrary x;
  x.handle = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
  if (x.handle == nullptr) return true;
  Find(x.handle, "XInternAtom", x.internAtom);
  Find(x.handle, "XDefaultRootWindow", x.rootWindow);
  Find(x.handle, "XGetWindowProperty", x.getProperty);
  Find(x.handle, "XFree", x.free);
  const bool running = x.internAtom == nullptr || x.rootWindow == nullptr || x.getProperty == nullptr ||
                       x.free == nullptr || SupportingWindowNamed(x, info.info.x11.display);
  dlclose(x.handle);
  return running;
}
