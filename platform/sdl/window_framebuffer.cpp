// The game window's framebuffer, our own on X at depth 30: a surface in the window's pixels put by Xlib.
#include "platform/sdl/window_framebuffer.h"

#include <SDL_syswm.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstring>
#include <string>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

namespace {

// Our framebuffer: the surface our copy writes, the same pixels as Xlib's image, and where they go.
struct OwnFramebuffer {
  SDL_Window* window = nullptr;
  SDL_Surface* surface = nullptr;
  XImage* image = nullptr;
  Display* display = nullptr;
  ::Window xWindow = 0;
  GC gc = nullptr;
  XShmSegmentInfo shared{};  // the pixels, shared with the server where they could be (shmaddr set)
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

// Set by the error handler in place while the server attaches the shared memory: an error there (a server
// that cannot reach it) must not end the game.
bool attachFailed = false;

int NoteAttachFailed(Display*, XErrorEvent*) {
  attachFailed = true;
  return 0;
}

// An image of width by height whose pixels the server reads from memory shared with it, so a frame is not
// sent down the socket (8 MB at 1920x1080); null where the server is elsewhere or refuses it. Its segment
// is marked for removal at once, so it goes with the game however the game ends.
XImage* SharedImage(Display* display, Visual* visual, int depth, int width, int height, XShmSegmentInfo& shared) {
  const char* name = DisplayString(display);
  const bool local = name != nullptr && (name[0] == ':' || std::strncmp(name, "unix:", 5) == 0);
  if (!local || XShmQueryExtension(display) != True) return nullptr;
  XImage* image = XShmCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &shared,
                                  static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (image == nullptr) return nullptr;
  shared.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(image->height),
                        IPC_CREAT | 0600);
  void* memory = shared.shmid >= 0 ? shmat(shared.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
  if (memory != reinterpret_cast<void*>(-1)) {
    shared.shmaddr = image->data = static_cast<char*>(memory);
    shared.readOnly = False;
    XSync(display, False);
    attachFailed = false;
    XErrorHandler before = XSetErrorHandler(NoteAttachFailed);
    XShmAttach(display, &shared);
    XSync(display, False);
    XSetErrorHandler(before);
  }
  if (shared.shmid >= 0) shmctl(shared.shmid, IPC_RMID, nullptr);
  if (memory == reinterpret_cast<void*>(-1) || attachFailed) {
    if (memory != reinterpret_cast<void*>(-1)) shmdt(memory);
    image->data = nullptr;
    XDestroyImage(image);
    shared = XShmSegmentInfo{};
    return nullptr;
  }
  return image;
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
  XImage* image = SharedImage(display, attributes.visual, attributes.depth, width, height, own.shared);
  SDL_Surface* surface =
      image != nullptr ? SDL_CreateRGBSurfaceWithFormatFrom(image->data, width, height, 32, image->bytes_per_line, format)
                       : SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, format);
  if (image == nullptr && surface != nullptr) {
    image = XCreateImage(display, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap, 0,
                         static_cast<char*>(surface->pixels), static_cast<unsigned>(surface->w),
                         static_cast<unsigned>(surface->h), 32, surface->pitch);
    // The pixels are in this machine's order; Xlib swaps them for a server of the other.
    if (image != nullptr) image->byte_order = SDL_BYTEORDER == SDL_LIL_ENDIAN ? LSBFirst : MSBFirst;
  }
  own.display = display;
  own.image = image;
  own.surface = surface;
  if (image == nullptr || surface == nullptr) {
    ForgetWindowFramebuffer();
    return false;
  }
  own.window = window;
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
  const auto width = static_cast<unsigned>(own.surface->w);
  const auto height = static_cast<unsigned>(own.surface->h);
  if (own.shared.shmaddr != nullptr) {
    XShmPutImage(own.display, own.xWindow, own.gc, own.image, 0, 0, 0, 0, width, height, False);
  } else {
    XPutImage(own.display, own.xWindow, own.gc, own.image, 0, 0, 0, 0, width, height);
  }
  XSync(own.display, False);
}

void ForgetWindowFramebuffer() {
  if (own.surface != nullptr) SDL_FreeSurface(own.surface);
  if (own.shared.shmaddr != nullptr) {
    XShmDetach(own.display, &own.shared);
    XSync(own.display, False);
    shmdt(own.shared.shmaddr);
  }
  if (own.image != nullptr) {
    own.image->data = nullptr;  // the surface's pixels, or the shared memory
    XDestroyImage(own.image);
  }
  if (own.gc != nullptr) XFreeGC(own.display, own.gc);
  own = OwnFramebuffer();
}
