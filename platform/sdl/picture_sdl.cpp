// The game's picture over SDL: the renderer chosen for the machine, the picture composed at its own size,
// and its one scaled copy onto the window with black bars (the card's, or our own nearest-pixel scaler
// that copies only the rows that changed).
#include "platform/sdl/picture_sdl.h"

#include <cstring>
#include <filesystem>

#include "platform/sdl/game_window.h"

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

// The picture scaled onto place of the screen, each screen pixel taking the picture pixel under its
// centre. Rows that take the same picture row as the one above are copies of it, so only one screen row
// per picture row is worked out pixel by pixel; picture rows equal to those shown already are skipped
// unless whole is set. Both are 32-bit in the same format.
void ScaleNearest(const SDL_Surface* picture, SDL_Surface* screen, const PicturePlace& place,
                  std::vector<int32_t>& columns, std::vector<Uint32>& shown, bool whole) {
  const int64_t pw = picture->w, ph = picture->h, w = place.width, h = place.height;
  if (columns.size() != static_cast<size_t>(w)) {
    columns.resize(static_cast<size_t>(w));
    for (int64_t x = 0; x < w; ++x) columns[static_cast<size_t>(x)] = static_cast<int32_t>((2 * x + 1) * pw / (2 * w));
  }
  shown.resize(static_cast<size_t>(pw * ph));
  const size_t rowBytes = static_cast<size_t>(pw) * 4;
  const auto* from = static_cast<const Uint8*>(picture->pixels);
  auto* to = static_cast<Uint8*>(screen->pixels) + int64_t{place.y} * screen->pitch + int64_t{place.x} * 4;
  int64_t lastRow = -1;
  bool lastChanged = false;
  for (int64_t y = 0; y < h; ++y, to += screen->pitch) {
    const int64_t row = (2 * y + 1) * ph / (2 * h);
    if (row == lastRow) {
      if (lastChanged) std::memcpy(to, to - screen->pitch, static_cast<size_t>(w) * 4);
      continue;
    }
    const auto* source = reinterpret_cast<const Uint32*>(from + row * picture->pitch);
    Uint32* before = shown.data() + row * pw;
    lastRow = row;
    lastChanged = whole || std::memcmp(before, source, rowBytes) != 0;
    if (!lastChanged) continue;
    std::memcpy(before, source, rowBytes);
    auto* target = reinterpret_cast<Uint32*>(to);
    for (int64_t x = 0; x < w; ++x) target[x] = source[columns[static_cast<size_t>(x)]];
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

}  // namespace

// An accelerated renderer waiting for the retrace where the machine has a graphics card, drawing into a
// render target; otherwise SDL's software renderer drawing into a surface of ours.
bool StartPicture(Picture& picture, Window& window, int32_t width, int32_t height) {
  picture = Picture();
  picture.window = &window;
  picture.width = width;
  picture.height = height;
  if (GraphicsCardLikely() && !SoftwareAskedFor()) {
    picture.renderer = SDL_CreateRenderer(window.sdlWindow, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    SDL_RendererInfo info;
    if (picture.renderer != nullptr && SDL_GetRendererInfo(picture.renderer, &info) == 0 &&
        (info.flags & SDL_RENDERER_SOFTWARE) == 0) {
      picture.target =
          SDL_CreateTexture(picture.renderer, picture.surfaceFormat, SDL_TEXTUREACCESS_TARGET, width, height);
      picture.vsync = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
    }
    if (picture.target == nullptr && picture.renderer != nullptr) {
      SDL_DestroyRenderer(picture.renderer);
      picture.renderer = nullptr;
    }
  } else {
    // The window's own framebuffer, not one shown through a software OpenGL; the environment still wins.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  }
  if (picture.target != nullptr) {
    SDL_SetTextureBlendMode(picture.target, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(picture.target, SDL_ScaleModeNearest);
    SDL_SetRenderTarget(picture.renderer, picture.target);
    SDL_SetRenderDrawColor(picture.renderer, 0, 0, 0, 255);
    SDL_RenderClear(picture.renderer);
  } else if (SDL_Surface* screen = SDL_GetWindowSurface(window.sdlWindow)) {
    if (screen->format->BitsPerPixel == 32 && !SDL_ISPIXELFORMAT_ALPHA(screen->format->format))
      picture.surfaceFormat = screen->format->format;
    picture.composed = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, picture.surfaceFormat);
    if (picture.composed != nullptr) picture.renderer = SDL_CreateSoftwareRenderer(picture.composed);
  }
  if (picture.renderer == nullptr) {
    if (picture.composed != nullptr) SDL_FreeSurface(picture.composed);
    picture.composed = nullptr;
    return false;
  }
  return true;
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
  SDL_Surface* screen = SDL_GetWindowSurface(window.sdlWindow);
  if (screen == nullptr) return;
  NotePicturePlace(window, screen->w, screen->h);
  const PicturePlace place{window.picture.x, window.picture.y, window.picture.w, window.picture.h};
  ShownPicture& shown = picture.shown;
  if (repaint) shown.screen = nullptr;  // what it shows was lost: as good as a new framebuffer
  // A new or resized framebuffer holds nothing of ours yet; the bars of one that does are black already.
  const bool whole = screen != shown.screen || screen->w != shown.screenWidth || screen->h != shown.screenHeight ||
                     place.x != shown.place.x || place.y != shown.place.y || place.width != shown.place.width ||
                     place.height != shown.place.height;
  if (whole) {
    FillBars(screen, place);
    shown.screen = screen;
    shown.screenWidth = screen->w;
    shown.screenHeight = screen->h;
    shown.place = place;
  }
  if (screen->format->format == picture.composed->format->format && SDL_MUSTLOCK(screen) == 0) {
    ScaleNearest(picture.composed, screen, place, picture.columns, shown.pixels, whole);
  } else {
    SDL_Rect to{place.x, place.y, place.width, place.height};
    SDL_BlitScaled(picture.composed, nullptr, screen, &to);
  }
  SDL_UpdateWindowSurface(window.sdlWindow);
}

void StopPicture(Picture& picture) {
  SDL_DestroyRenderer(picture.renderer);
  if (picture.composed != nullptr) SDL_FreeSurface(picture.composed);
  picture.renderer = nullptr;
  picture.composed = nullptr;
  picture.target = nullptr;
}
