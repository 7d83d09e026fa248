// The game's picture over SDL: the renderer chosen for the machine, the picture composed at its own size,
// and its one scaled copy onto the window with black bars (the card's, or our own nearest-pixel scaler
// that copies only the rows that changed, into the window's own pixel format).
#include "platform/sdl/picture_sdl.h"

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/render_device.h"
#include "platform/sdl/game_window.h"
#include "platform/sdl/window_framebuffer.h"

namespace {

// Black outside place on the screen surface.
void FillBars(SDL_Surface* screen, const PicturePlace& place) {
  const SDL_Rect bars[] = {{0, 0, screen->w, place.y},
                           {0, place.y + place.height, screen->w, screen->h - place.y - place.height},
                           {0, place.y, place.x, place.height},
                           {place.x + place.width, place.y, screen->w - place.x - place.width, place.height}};
  for (const SDL_Rect& bar : bars)
    if (bar.w > 0 && bar.h > 0) SDL_FillRect(screen, &bar, SDL_MapRGB(screen->format, 0, 0, 0));
}

// Marks the picture rows that differ from those copied last (all of them when whole) and keeps the new ones.
void NoteChangedRows(ScaledCopy& copy, const SDL_Surface* picture, bool whole) {
  const size_t pw = static_cast<size_t>(picture->w), ph = static_cast<size_t>(picture->h);
  copy.pixels.resize(pw * ph);
  copy.changed.resize(ph);
  const auto* from = static_cast<const Uint8*>(picture->pixels);
  for (size_t row = 0; row < ph; ++row) {
    const void* source = from + row * static_cast<size_t>(picture->pitch);
    Uint32* before = copy.pixels.data() + row * pw;
    copy.changed[row] = whole || std::memcmp(before, source, pw * 4) != 0;
    if (copy.changed[row]) std::memcpy(before, source, pw * 4);
  }
}

// The changed rows of the picture converted into the screen's format, each run of them in one blit.
void ConvertChangedRows(const ScaledCopy& copy, SDL_Surface* picture) {
  const int32_t rows = picture->h;
  for (int32_t first = 0; first < rows;) {
    if (!copy.changed[static_cast<size_t>(first)]) {
      ++first;
      continue;
    }
    int32_t end = first + 1;
    while (end < rows && copy.changed[static_cast<size_t>(end)]) ++end;
    SDL_Rect from{0, first, picture->w, end - first};
    SDL_Rect to = from;
    SDL_LowerBlit(picture, &from, copy.converted, &to);
    first = end;
  }
}

// One screen row of the place from one picture row, each screen pixel the picture pixel under its centre.
// A copy of a constant size the compiler turns into one load and store.
template <int Bytes>
void ScaleRow(const Uint8* source, Uint8* target, const int32_t* columns, int64_t width) {
  for (int64_t x = 0; x < width; ++x) std::memcpy(target + Bytes * x, source + int64_t{Bytes} * columns[x], Bytes);
}

// The picture (already in the screen's format) scaled onto place of the screen. Rows that take the same
// picture row as the one above are copies of it, so only one screen row per picture row is worked out
// pixel by pixel, and only for picture rows that changed.
template <int Bytes>
void ScaleNearest(const ScaledCopy& copy, const SDL_Surface* picture, SDL_Surface* screen, const PicturePlace& place) {
  const int64_t ph = picture->h, w = place.width, h = place.height;
  const auto* from = static_cast<const Uint8*>(picture->pixels);
  auto* to = static_cast<Uint8*>(screen->pixels) + int64_t{place.y} * screen->pitch + int64_t{place.x} * Bytes;
  int64_t lastRow = -1;
  bool lastChanged = false;
  for (int64_t y = 0; y < h; ++y, to += screen->pitch) {
    const int64_t row = (2 * y + 1) * ph / (2 * h);
    if (row == lastRow) {
      if (lastChanged) std::memcpy(to, to - screen->pitch, static_cast<size_t>(w) * Bytes);
      continue;
    }
    lastRow = row;
    lastChanged = copy.changed[static_cast<size_t>(row)] != 0;
    if (lastChanged) ScaleRow<Bytes>(from + row * picture->pitch, to, copy.columns.data(), w);
  }
}

// Without a graphics card's render node the only OpenGL there is a software rasteriser, which costs several
// times the start-up time, memory and CPU of SDL's own software renderer drawing the same 640 by 480 picture.
// A renderer asked for by name in SDL_RENDER_DRIVER still decides.
bool GraphicsCardLikely() {
  if (SDL_GetHint(SDL_HINT_RENDER_DRIVER) != nullptr) return true;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error)) {
    if (entry.path().filename().string().rfind("renderD", 0) == 0) return true;
  }
  return false;
}

// A renderer asked for by name that is SDL's software one.
bool SoftwareAskedFor() {
  const char* name = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
  return name != nullptr && SDL_strcasecmp(name, "software") == 0;
}

// A renderer on the window that draws by itself (a graphics card, or OpenGL on a software rasteriser),
// waiting for the retrace, into a render target it scales; false, with nothing left made, without one.
bool StartOnRenderer(Picture& picture) {
  picture.renderer =
      SDL_CreateRenderer(picture.window->sdlWindow, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
  SDL_RendererInfo info;
  if (picture.renderer != nullptr && SDL_GetRendererInfo(picture.renderer, &info) == 0 &&
      (info.flags & SDL_RENDERER_SOFTWARE) == 0) {
    picture.target = SDL_CreateTexture(picture.renderer, picture.surfaceFormat, SDL_TEXTUREACCESS_TARGET,
                                       picture.width, picture.height);
    picture.vsync = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
  }
  if (picture.target == nullptr) {
    if (picture.renderer != nullptr) SDL_DestroyRenderer(picture.renderer);
    picture.renderer = nullptr;
    return false;
  }
  SDL_SetTextureBlendMode(picture.target, SDL_BLENDMODE_NONE);
  SDL_SetTextureScaleMode(picture.target, SDL_ScaleModeNearest);
  SDL_SetRenderTarget(picture.renderer, picture.target);
  SDL_SetRenderDrawColor(picture.renderer, 0, 0, 0, 255);
  SDL_RenderClear(picture.renderer);
  return true;
}

// SDL's software renderer drawing into a surface of ours, in the window framebuffer's format where that is
// 32-bit (so the copy converts nothing), otherwise in 32-bit RGB; false, with nothing left made, where the
// window has no framebuffer our copy writes.
bool StartOnFramebuffer(Picture& picture) {
  SDL_Surface* screen = WindowFramebuffer(picture.window->sdlWindow);
  if (screen == nullptr) {
    if (*SDL_GetError() == '\0') SDL_SetError("the window has no framebuffer");
    return false;
  }
  if (!ScaledCopyWrites(screen->format)) {
    SDL_SetError("the window's pixels are %s", SDL_GetPixelFormatName(screen->format->format));
    return false;
  }
  const Uint32 format = screen->format->BitsPerPixel == 32 && !SDL_ISPIXELFORMAT_ALPHA(screen->format->format)
                            ? screen->format->format
                            : Uint32{SDL_PIXELFORMAT_RGB888};
  picture.composed = SDL_CreateRGBSurfaceWithFormat(0, picture.width, picture.height, 32, format);
  if (picture.composed != nullptr) picture.renderer = SDL_CreateSoftwareRenderer(picture.composed);
  if (picture.renderer == nullptr) {
    if (picture.composed != nullptr) SDL_FreeSurface(picture.composed);
    picture.composed = nullptr;
    return false;
  }
  SDL_SetSurfaceBlendMode(picture.composed, SDL_BLENDMODE_NONE);
  picture.surfaceFormat = format;
  return true;
}

}  // namespace

// The ways to show the picture, best first, each tried where the one before it did not start:
// 1. where the machine has a graphics card's render node, or a renderer is asked for by name, the card's
//    renderer drawing into a render target it scales;
// 2. SDL's software renderer drawing into a surface in memory, which our own copy scales onto the window's
//    framebuffer (16-bit, 24-bit packed and 32-bit pixels in any order, 30-bit among them), SDL's or, on
//    an X screen of depth 30, our own (see WindowFramebuffer);
// 3. without a card, where the window has no framebuffer our copy writes (Wayland without a render node,
//    an X screen of 256 colours), OpenGL or OpenGL ES on a software rasteriser, as in 1.
// When none starts, SDL's error says so and GraphicsAdvice says what would.
bool StartPicture(Picture& picture, Window& window, int32_t width, int32_t height) {
  picture = Picture();
  picture.window = &window;
  picture.width = width;
  picture.height = height;
  const bool card = GraphicsCardLikely() && !SoftwareAskedFor();
  // The window's own framebuffer, not one shown through a software OpenGL; the environment still wins.
  if (!card) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (card && StartOnRenderer(picture)) return true;
  if (StartOnFramebuffer(picture)) return true;
  const std::string framebuffer = SDL_GetError();
  if (!card && StartOnRenderer(picture)) return true;
  SDL_SetError("nothing can show the picture in this window (its framebuffer: %s; no renderer starts on it)",
               framebuffer.c_str());
  return false;
}

// The picture keeps the last frame, as a copied back buffer does; every frame covers it whole anyway.
void ComposePicture(Picture& picture) {
  if (picture.target != nullptr) SDL_SetRenderTarget(picture.renderer, picture.target);
}

// The place is worked out from the size actually drawn on, so the copy never leaves it.
void ShowPicture(Picture& picture, bool repaint) {
  Window& window = *picture.window;
  if (picture.target != nullptr) {
    int w = 0;
    int h = 0;
    SDL_SetRenderTarget(picture.renderer, nullptr);
    SDL_GetRendererOutputSize(picture.renderer, &w, &h);
    NotePicturePlace(window, w, h);
    const SDL_Rect to = window.picture;
    SDL_SetRenderDrawColor(picture.renderer, 0, 0, 0, 255);
    SDL_RenderClear(picture.renderer);
    SDL_RenderCopy(picture.renderer, picture.target, nullptr, &to);
    SDL_RenderPresent(picture.renderer);
    return;
  }
  SDL_RenderFlush(picture.renderer);
  SDL_Surface* screen = WindowFramebuffer(window.sdlWindow);
  if (screen == nullptr) return;
  NotePicturePlace(window, screen->w, screen->h);
  if (repaint) picture.copy.screen = nullptr;  // what it shows was lost: as good as a new framebuffer
  CopyScaled(picture.copy, picture.composed, screen,
             PicturePlace{window.picture.x, window.picture.y, window.picture.w, window.picture.h});
  ShowWindowFramebuffer(window.sdlWindow);
}

// Only the window system is left to change: a screen of 16 or 24 bits a pixel is one our copy writes, and on
// Wayland the renderers that failed are OpenGL's, which Mesa's packages bring.
std::string GraphicsAdvice() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver != nullptr && SDL_strcasecmp(driver, "wayland") == 0)
    return "install Mesa's OpenGL ES for SDL to draw with on Wayland (Debian: libegl-mesa0 libgles2), or "
           "set SDL_VIDEODRIVER=x11 to draw through the desktop's X server";
  return "start the X server at depth 24 or 16 (a remote desktop's colour depth setting; Xvfb -screen 0 "
         "1920x1080x24)";
}

void StopPicture(Picture& picture) {
  SDL_DestroyRenderer(picture.renderer);
  if (picture.composed != nullptr) SDL_FreeSurface(picture.composed);
  ForgetScaledCopy(picture.copy);
  ForgetWindowFramebuffer();
  picture.renderer = nullptr;
  picture.composed = nullptr;
  picture.target = nullptr;
}

bool ScaledCopyWrites(const SDL_PixelFormat* format) {
  return !SDL_ISPIXELFORMAT_FOURCC(format->format) && !SDL_ISPIXELFORMAT_INDEXED(format->format) &&
         format->BytesPerPixel >= 2 && format->BytesPerPixel <= 4;
}

// A new or resized framebuffer, or a new place, holds nothing of ours yet: the bars are filled and every row
// copied; the bars of one that does are black already.
void CopyScaled(ScaledCopy& copy, SDL_Surface* picture, SDL_Surface* screen, const PicturePlace& place) {
  if (!ScaledCopyWrites(screen->format) || place.width <= 0 || place.height <= 0) return;
  const Uint32 format = screen->format->format;
  bool whole = screen != copy.screen || screen->w != copy.screenWidth || screen->h != copy.screenHeight ||
               format != copy.screenFormat || place.x != copy.place.x || place.y != copy.place.y ||
               place.width != copy.place.width || place.height != copy.place.height;
  if (whole) {
    FillBars(screen, place);
    copy.screen = screen;
    copy.screenWidth = screen->w;
    copy.screenHeight = screen->h;
    copy.screenFormat = format;
    copy.place = place;
    copy.columns.resize(static_cast<size_t>(place.width));
    for (int64_t x = 0; x < place.width; ++x)
      copy.columns[static_cast<size_t>(x)] = static_cast<int32_t>((2 * x + 1) * picture->w / (2 * int64_t{place.width}));
  }
  // The picture in the screen's format: itself where the formats agree, otherwise its changed rows converted.
  SDL_Surface* source = picture;
  if (format != picture->format->format) {
    if (copy.converted == nullptr || copy.converted->format->format != format || copy.converted->w != picture->w ||
        copy.converted->h != picture->h) {
      if (copy.converted != nullptr) SDL_FreeSurface(copy.converted);
      copy.converted = SDL_CreateRGBSurfaceWithFormat(0, picture->w, picture->h, 0, format);
      if (copy.converted == nullptr) return;
      whole = true;
    }
    source = copy.converted;
  } else if (copy.converted != nullptr) {
    SDL_FreeSurface(copy.converted);
    copy.converted = nullptr;
  }
  NoteChangedRows(copy, picture, whole);
  if (source != picture) ConvertChangedRows(copy, picture);
  switch (screen->format->BytesPerPixel) {
    case 2:
      ScaleNearest<2>(copy, source, screen, place);
      break;
    case 3:
      ScaleNearest<3>(copy, source, screen, place);
      break;
    case 4:
      ScaleNearest<4>(copy, source, screen, place);
      break;
  }
}

void ForgetScaledCopy(ScaledCopy& copy) {
  if (copy.converted != nullptr) SDL_FreeSurface(copy.converted);
  copy = ScaledCopy();
}
