// The game window's framebuffer, our own on X at depth 30: a surface in the window's pixels put by Xlib.
#include "platform/sdl/window_framebuffer.h"

#include <SDL_syswm.h>

#include <string>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// Our framebuffer: the surface our copy writes, the same pixels as Xlib's image, and where they go.
struct OwnFramebuffer {
  SDL_Window* window = nullptr;
  SDL_Surface* surface = nullptr;
  XImage* image = nullptr;
  Display* display = nullptr;
  ::Window xWindow = 0;
  GC gc = nullptr;
};

OwnFramebuffer own;

// The SDL pixel format of a visual of 32 bits a pixel, the bits above its channels spare (as SDL reads a
// depth-32 visual); unknown for any other. SDL makes its windows DirectColor where the screen has that,
// with a colour map that gives each channel's value as it is, so such a window takes TrueColor pixels.
Uint32 FormatOf(Display* display, const XVisualInfo& visual) {
  if (visual.c_class != TrueColor && visual.c_class != DirectColor) return Uint32{SDL_PIXELFORMAT_UNKNOWN};
  int count = 0;
  int bits = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
  for (int i = 0; i < count; ++i)
    if (formats[i].depth == visual.depth) bits = formats[i].bits_per_pixel;
  if (formats != nullptr) XFree(formats);
  if (bits != 32) return Uint32{SDL_PIXELFORMAT_UNKNOWN};
  const auto channels = static_cast<Uint32>(visual.red_mask | visual.green_mask | visual.blue_mask);
  return SDL_MasksToPixelFormatEnum(32, static_cast<Uint32>(visual.red_mask), static_cast<Uint32>(visual.green_mask),
                                    static_cast<Uint32>(visual.blue_mask), ~channels);
}

// Our framebuffer for window at its size now, or false with nothing made.
bool MakeOwn(SDL_Window* window) {
  SDL_SysWMinfo info{};
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) return false;
  Display* display = info.info.x11.display;
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display, info.info.x11.window, &attributes) == 0) return false;
  XVisualInfo wanted{};
  wanted.visualid = XVisualIDFromVisual(attributes.visual);
  int count = 0;
  XVisualInfo* visual = XGetVisualInfo(display, VisualIDMask, &wanted, &count);
  const Uint32 format = visual != nullptr && count > 0 ? FormatOf(display, visual[0]) : Uint32{SDL_PIXELFORMAT_UNKNOWN};
  if (visual != nullptr) XFree(visual);
  // The size SDL knows, which the picture is placed for.
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(window, &width, &height);
  if (format == SDL_PIXELFORMAT_UNKNOWN || width <= 0 || height <= 0) return false;
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, format);
  if (surface == nullptr) return false;
  XImage* image = XCreateImage(display, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap, 0,
                               static_cast<char*>(surface->pixels), static_cast<unsigned>(surface->w),
                               static_cast<unsigned>(surface->h), 32, surface->pitch);
  if (image == nullptr) {
    SDL_FreeSurface(surface);
    return false;
  }
  // The pixels are in this machine's order; Xlib swaps them for a server of the other.
  image->byte_order = SDL_BYTEORDER == SDL_LIL_ENDIAN ? LSBFirst : MSBFirst;
  own.window = window;
  own.surface = surface;
  own.image = image;
  own.display = display;
  own.xWindow = info.info.x11.window;
  own.gc = XCreateGC(display, own.xWindow, 0, nullptr);
  return true;
}

}  // namespace

SDL_Surface* WindowFramebuffer(SDL_Window* window) {
  if (own.surface != nullptr) {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    if (own.window == window && width == own.surface->w && height == own.surface->h) return own.surface;
    ForgetWindowFramebuffer();
    return MakeOwn(window) ? own.surface : nullptr;
  }
  SDL_Surface* screen = SDL_GetWindowSurface(window);
  if (screen != nullptr) return screen;
  const std::string why = SDL_GetError();
  if (MakeOwn(window)) return own.surface;
  SDL_SetError("%s", why.c_str());
  return nullptr;
}

// Waits for the server to have taken the picture, as SDL's own framebuffer does, so frames do not queue.
void ShowWindowFramebuffer(SDL_Window* window) {
  if (own.surface == nullptr || own.window != window) {
    SDL_UpdateWindowSurface(window);
    return;
  }
  XPutImage(own.display, own.xWindow, own.gc, own.image, 0, 0, 0, 0, static_cast<unsigned>(own.surface->w),
            static_cast<unsigned>(own.surface->h));
  XSync(own.display, False);
}

void ForgetWindowFramebuffer() {
  if (own.image != nullptr) {
    own.image->data = nullptr;  // the surface's pixels
    XDestroyImage(own.image);
  }
  if (own.gc != nullptr) XFreeGC(own.display, own.gc);
  if (own.surface != nullptr) SDL_FreeSurface(own.surface);
  own = OwnFramebuffer();
}
