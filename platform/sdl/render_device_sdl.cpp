// Graphics device stand-ins over an SDL renderer.
// Surfaces in memory with a texture made for drawing, colour-keyed sprite textures, rectangle copies, the
// sprite batch, the frame composed at its own size and shown in one scaled copy, and the frame pacing.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/frame_pacer.h"
#include "platform/picture_place.h"
#include "platform/regular_file.h"
#include "platform/render_device.h"
#include "platform/system.h"
#include "platform/sdl/game_window.h"
#include "platform/sdl/test_hooks.h"

struct Direct3D {};

struct Surface {
  GraphicsDevice* device = nullptr;
  SDL_Surface* pixels = nullptr;   // null for the back buffer, which is the renderer's own frame
  SDL_Texture* texture = nullptr;  // what the renderer draws the pixels from; made on the first draw
  bool textureStale = true;        // the pixels changed since the texture was filled
};

struct Texture {
  GraphicsDevice* device = nullptr;
  SDL_Texture* texture = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  bool translucent = false;  // has a transparent pixel; without one it is drawn with blending off
  SDL_BlendMode mode = SDL_BLENDMODE_INVALID;
  // A translucent sheet's cells may still be wholly opaque (most wall tiles are): those are drawn from
  // this copy in the frame's format with blending off, which gives the same pixels for far less work.
  SDL_Texture* opaque = nullptr;
  std::vector<int32_t> transparentBefore;  // (width+1) x (height+1) sums of transparent pixels above-left
};

// What the window's framebuffer holds, so rows of the picture that did not change since are not copied
// again (the title at rest, or play while the view stands still, changes few rows of the picture).
struct ShownPicture {
  SDL_Surface* screen = nullptr;  // the framebuffer it was copied to
  int32_t screenWidth = 0;
  int32_t screenHeight = 0;
  PicturePlace place;
  std::vector<Uint32> pixels;  // the picture as copied, row by row
};

// The frame is composed at the picture's own size, exactly as the game draws it, and each present shows
// it in one copy scaled to the window: on a graphics card the picture is a render target the card
// scales; without one it is a surface in memory that the software renderer draws into, and the copy
// onto the window's framebuffer is our own (SDL's stretch costs three times as much: it works out every
// pixel, where a nearest-pixel scale can copy whole rows that repeat the one above).
struct GraphicsDevice {
  Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;  // draws the picture
  int32_t width = 0;                 // the picture's size
  int32_t height = 0;
  Uint32 surfaceFormat = SDL_PIXELFORMAT_RGB888;  // the frame's own format, so copying the background converts nothing
  SDL_Texture* target = nullptr;     // graphics card: the picture
  SDL_Surface* composed = nullptr;   // software: the picture
  std::vector<int32_t> columns;      // software: the picture column of each screen column of the last copy
  ShownPicture shown;                // software: what the window's framebuffer holds
  Surface backBuffer;
  std::vector<Surface*> surfaces;  // alive, so a released device leaves none pointing at its textures
  std::vector<Texture*> textures;
  FramePacer pacer;
  bool vsync = false;  // the renderer was asked to wait for the retrace and still is
};

struct SpriteBatch {
  GraphicsDevice* device = nullptr;
  bool begun = false;
  bool alphaBlend = false;
};

namespace {

using Clock = std::chrono::steady_clock;

// The display's refresh rate, 0 where the display does not say.
int32_t RefreshRate(SDL_Window* window) {
  SDL_DisplayMode mode;
  const int display = SDL_GetWindowDisplayIndex(window);
  if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0) return mode.refresh_rate;
  return 0;
}

int64_t NowMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
}

bool pacingOn = true;  // off only for benchmarks (SetPresentPacing)

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

// The mouse reads where the picture lies from the window's record, kept here at every present.
void NotePlace(Window& window, const PicturePlace& place) {
  window.picture = SDL_Rect{place.x, place.y, place.width, place.height};
}

// The composed picture onto the window, scaled to where it lies there, and shown. The place is worked out
// from the size actually drawn on, so the copy never leaves it.
void ShowPicture(GraphicsDevice* device) {
  Window& window = *device->window;
  if (device->target != nullptr) {
    int w = 0;
    int h = 0;
    SDL_SetRenderTarget(device->renderer, nullptr);
    SDL_GetRendererOutputSize(device->renderer, &w, &h);
    const PicturePlace place = PlacePicture(device->width, device->height, w, h);
    NotePlace(window, place);
    const SDL_Rect to{place.x, place.y, place.width, place.height};
    SDL_SetRenderDrawColor(device->renderer, 0, 0, 0, 255);
    SDL_RenderClear(device->renderer);
    SDL_RenderCopy(device->renderer, device->target, nullptr, &to);
    SDL_RenderPresent(device->renderer);
    return;
  }
  SDL_RenderFlush(device->renderer);
  SDL_Surface* screen = SDL_GetWindowSurface(window.sdlWindow);
  if (screen == nullptr) return;
  const PicturePlace place = PlacePicture(device->width, device->height, screen->w, screen->h);
  NotePlace(window, place);
  ShownPicture& shown = device->shown;
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
  if (screen->format->format == device->composed->format->format && SDL_MUSTLOCK(screen) == 0) {
    ScaleNearest(device->composed, screen, place, device->columns, shown.pixels, whole);
  } else {
    SDL_Rect to{place.x, place.y, place.width, place.height};
    SDL_BlitScaled(device->composed, nullptr, screen, &to);
  }
  SDL_UpdateWindowSurface(window.sdlWindow);
}

template <typename T>
void Forget(std::vector<T*>& list, T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

// The whole surface when rect is null; false when the rectangle is empty or leaves the surface.
bool ResolveRect(int32_t width, int32_t height, const Rect* rect, SDL_Rect& out) {
  const Rect r = rect ? *rect : Rect{0, 0, width, height};
  out = SDL_Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
  return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && r.right <= width && r.bottom <= height;
}

// The surface's texture, made on first use and refilled when the pixels changed since. The renderer
// normally takes the surface's own format; where it does not, SDL converts on a fresh texture.
SDL_Texture* TextureOf(Surface* surface) {
  SDL_Renderer* renderer = surface->device->renderer;
  if (surface->texture == nullptr) {
    surface->texture = SDL_CreateTexture(renderer, surface->pixels->format->format, SDL_TEXTUREACCESS_STATIC,
                                         surface->pixels->w, surface->pixels->h);
    surface->textureStale = true;
  }
  if (surface->texture != nullptr && surface->textureStale) {
    Uint32 format = 0;
    SDL_QueryTexture(surface->texture, &format, nullptr, nullptr, nullptr);
    if (format == surface->pixels->format->format) {
      SDL_UpdateTexture(surface->texture, nullptr, surface->pixels->pixels, surface->pixels->pitch);
    } else {
      SDL_DestroyTexture(surface->texture);
      surface->texture = nullptr;
    }
  }
  if (surface->texture == nullptr) surface->texture = SDL_CreateTextureFromSurface(renderer, surface->pixels);
  if (surface->texture == nullptr) return nullptr;
  if (surface->textureStale) {
    SDL_SetTextureBlendMode(surface->texture, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(surface->texture, SDL_ScaleModeNearest);
    surface->textureStale = false;
  }
  return surface->texture;
}

// A bitmap with more pixels than this is refused before decoding (our largest has a fiftieth of it).
constexpr Sint64 kMaxBitmapPixels = 4096 * 4096;

// Little-endian value of the given number of bytes at offset at.
Uint32 LittleEndian(const Uint8* bytes, size_t at, int count) {
  Uint32 value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[at + i];
  return value;
}

// What a bitmap header claims, checked before SDL allocates for it, so a few bytes of header never make
// us allocate what they merely claim: at most kMaxBitmapPixels, and an uncompressed file holds every
// row. Everything else SDL's decoder reads or refuses itself.
bool HeaderFitsFile(const Uint8* header, size_t length, Sint64 fileSize) {
  if (length < 18) return false;
  const bool core = LittleEndian(header, 14, 4) == 12;  // the oldest header: 16-bit sizes, no compression
  if (length < (core ? 26u : 34u)) return false;
  const Sint64 width = core ? Sint64(LittleEndian(header, 18, 2)) : Sint64(Sint32(LittleEndian(header, 18, 4)));
  Sint64 height = core ? Sint64(LittleEndian(header, 20, 2)) : Sint64(Sint32(LittleEndian(header, 22, 4)));
  const Sint64 bits = LittleEndian(header, core ? 24 : 28, 2);
  const Uint32 compression = core ? 0 : LittleEndian(header, 30, 4);
  if (height < 0) height = -height;  // rows stored top down
  if (width <= 0 || height == 0) return true;
  if (width * height > kMaxBitmapPixels) return false;
  const bool uncompressed = compression == 0 || compression == 3;  // plain rows, or rows with bit fields
  const Sint64 stride = (width * bits + 31) / 32 * 4;
  return !uncompressed || stride * height <= fileSize;
}

// The bitmap's pixels as decoded, or null when the file is missing, claims more than it holds, or is
// not a bitmap SDL can decode.
SDL_Surface* LoadBitmap(const char* fileName) {
  std::FILE* opened = OpenRegularFileStream(fileName);  // a pipe or a device counts as missing
  SDL_RWops* file = opened != nullptr ? SDL_RWFromFP(opened, SDL_TRUE) : nullptr;
  if (file == nullptr) {
    if (opened != nullptr) std::fclose(opened);
    return nullptr;
  }
  Uint8 header[34] = {};
  const size_t length = SDL_RWread(file, header, 1, sizeof header);
  if (!HeaderFitsFile(header, length, SDL_RWsize(file)) || SDL_RWseek(file, 0, RW_SEEK_SET) != 0) {
    SDL_RWclose(file);
    return nullptr;
  }
  return SDL_LoadBMP_RW(file, 1);
}

// The bitmap as 32-bit ARGB, or null when the file is missing or not a bitmap SDL can decode.
SDL_Surface* LoadArgb(const char* fileName) {
  SDL_Surface* loaded = LoadBitmap(fileName);
  if (loaded == nullptr) return nullptr;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  return argb;
}

// Sums of the transparent pixels of an ARGB image over every rectangle from its top left corner, so any
// cell can be asked at once whether it has one.
void CountTransparent(const SDL_Surface* image, std::vector<int32_t>& before) {
  const int w = image->w;
  before.assign(static_cast<size_t>(w + 1) * (image->h + 1), 0);
  for (int y = 0; y < image->h; ++y) {
    const auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(image->pixels) + y * image->pitch);
    int32_t inRow = 0;
    for (int x = 0; x < w; ++x) {
      inRow += (row[x] >> 24) != 0xFF;
      before[static_cast<size_t>(y + 1) * (w + 1) + x + 1] = before[static_cast<size_t>(y) * (w + 1) + x + 1] + inRow;
    }
  }
}

// The image in the frame's format, drawn with blending off; null when it cannot be made (the sheet is
// then always drawn blended).
SDL_Texture* OpaqueTexture(GraphicsDevice* device, SDL_Surface* image) {
  SDL_Surface* converted = SDL_ConvertSurfaceFormat(image, device->surfaceFormat, 0);
  if (converted == nullptr) return nullptr;
  SDL_Texture* made = SDL_CreateTextureFromSurface(device->renderer, converted);
  SDL_FreeSurface(converted);
  if (made == nullptr) return nullptr;
  SDL_SetTextureBlendMode(made, SDL_BLENDMODE_NONE);
  SDL_SetTextureScaleMode(made, SDL_ScaleModeNearest);
  return made;
}

// Whether the part of rect that lies on the sheet has a transparent pixel; a rect wholly off the sheet
// counts as having one, so it takes the ordinary path.
bool HasTransparent(const Texture& texture, const SDL_Rect& rect) {
  const int x0 = std::max(rect.x, 0), y0 = std::max(rect.y, 0);
  const int x1 = std::min(rect.x + rect.w, texture.width), y1 = std::min(rect.y + rect.h, texture.height);
  if (x0 >= x1 || y0 >= y1) return true;
  const size_t w = static_cast<size_t>(texture.width) + 1;
  const auto at = [&](int x, int y) { return texture.transparentBefore[static_cast<size_t>(y) * w + x]; };
  return at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0) > 0;
}

}  // namespace

// ---- Device ----

Direct3D* Direct3DCreate9(uint32_t sdkVersion) {
  if (sdkVersion != D3D_SDK_VERSION || SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
  return new Direct3D;
}

// Without a graphics card's render node the only OpenGL there is a software rasteriser, which costs several
// times the start-up time, memory and CPU of SDL's own software renderer drawing the same 640 by 480 picture.
// A renderer asked for by name in SDL_RENDER_DRIVER still decides.
static bool GraphicsCardLikely() {
  if (SDL_GetHint(SDL_HINT_RENDER_DRIVER) != nullptr) return true;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error)) {
    if (entry.path().filename().string().rfind("renderD", 0) == 0) return true;
  }
  return false;
}

// A renderer asked for by name that is SDL's software one.
static bool SoftwareAskedFor() {
  const char* name = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
  return name != nullptr && SDL_strcasecmp(name, "software") == 0;
}

// An accelerated renderer waiting for the retrace where the machine has a graphics card, drawing into a
// render target; otherwise SDL's software renderer drawing into a surface of ours. Full screen covers
// the display, the picture scaled up as PlacePicture says.
HRESULT CreateDevice(Direct3D* direct3D, WindowHandle focusWindow, const PresentParameters& parameters,
                     GraphicsDevice** device) {
  *device = nullptr;
  if (direct3D == nullptr || focusWindow == nullptr || focusWindow->sdlWindow == nullptr ||
      focusWindow->renderer != nullptr || parameters.backBufferWidth <= 0 || parameters.backBufferHeight <= 0)
    return D3DERR_INVALIDCALL;
  SDL_Window* window = focusWindow->sdlWindow;
  auto* created = new GraphicsDevice;
  created->window = focusWindow;
  created->width = parameters.backBufferWidth;
  created->height = parameters.backBufferHeight;
  created->backBuffer.device = created;
  if (GraphicsCardLikely() && !SoftwareAskedFor()) {
    created->renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    SDL_RendererInfo info;
    if (created->renderer != nullptr && SDL_GetRendererInfo(created->renderer, &info) == 0 &&
        (info.flags & SDL_RENDERER_SOFTWARE) == 0) {
      created->target = SDL_CreateTexture(created->renderer, created->surfaceFormat, SDL_TEXTUREACCESS_TARGET,
                                          created->width, created->height);
      created->vsync = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
    }
    if (created->target == nullptr && created->renderer != nullptr) {
      SDL_DestroyRenderer(created->renderer);
      created->renderer = nullptr;
    }
  } else {
    // The window's own framebuffer, not one shown through a software OpenGL; the environment still wins.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  }
  if (created->target != nullptr) {
    SDL_SetTextureBlendMode(created->target, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(created->target, SDL_ScaleModeNearest);
    SDL_SetRenderTarget(created->renderer, created->target);
    SDL_SetRenderDrawColor(created->renderer, 0, 0, 0, 255);
    SDL_RenderClear(created->renderer);
  } else if (SDL_Surface* screen = SDL_GetWindowSurface(window)) {
    if (screen->format->BitsPerPixel == 32 && !SDL_ISPIXELFORMAT_ALPHA(screen->format->format))
      created->surfaceFormat = screen->format->format;
    created->composed =
        SDL_CreateRGBSurfaceWithFormat(0, created->width, created->height, 32, created->surfaceFormat);
    if (created->composed != nullptr) created->renderer = SDL_CreateSoftwareRenderer(created->composed);
  }
  if (created->renderer == nullptr) {
    if (created->composed != nullptr) SDL_FreeSurface(created->composed);
    delete created;
    return D3DERR_NOTAVAILABLE;
  }

  // Only now: an OpenGL renderer makes the window anew, at the place and size it had as a window.
  if (!parameters.windowed) SetGameWindowFullscreen(true);
  const int32_t refresh = RefreshRate(window);
  const bool waits = PaceByRetrace(refresh, created->vsync);
  if (created->vsync && !waits) created->vsync = SDL_RenderSetVSync(created->renderer, 0) != 0;
  created->pacer = StartPacing(refresh, waits);

  focusWindow->renderer = created->renderer;
  *device = created;
  return D3D_OK;
}

HRESULT GetBackBuffer(GraphicsDevice* device, Surface** backBuffer) {
  *backBuffer = device != nullptr ? &device->backBuffer : nullptr;
  return *backBuffer ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT CreateSprite(GraphicsDevice* device, SpriteBatch** sprite) {
  *sprite = nullptr;
  if (device == nullptr) return D3DERR_INVALIDCALL;
  *sprite = new SpriteBatch;
  (*sprite)->device = device;
  return D3D_OK;
}

// SDL has one cursor over the window; the device's is the system's.
void ShowDeviceCursor(GraphicsDevice* device, bool show) {
  if (device != nullptr) ShowCursor(show);
}

// ---- Images ----

HRESULT GetImageInfoFromFile(const char* fileName, ImageInfo* info) {
  SDL_Surface* image = LoadBitmap(fileName);
  if (image == nullptr) return D3DERR_INVALIDCALL;
  *info = ImageInfo{image->w, image->h};
  SDL_FreeSurface(image);
  return D3D_OK;
}

HRESULT CreateOffscreenPlainSurface(GraphicsDevice* device, int32_t width, int32_t height, Surface** surface) {
  *surface = nullptr;
  if (device == nullptr || width <= 0 || height <= 0) return D3DERR_INVALIDCALL;
  SDL_Surface* pixels = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, device->surfaceFormat);
  if (pixels == nullptr) return E_OUTOFMEMORY;
  SDL_SetSurfaceBlendMode(pixels, SDL_BLENDMODE_NONE);
  auto* created = new Surface;
  created->device = device;
  created->pixels = pixels;
  device->surfaces.push_back(created);
  *surface = created;
  return D3D_OK;
}

// The image converted into the surface's format, stretched to the whole surface. Surfaces carry no
// alpha, so the colour key changes nothing.
HRESULT LoadSurfaceFromFile(Surface* destination, const char* fileName, uint32_t) {
  if (destination == nullptr || destination->pixels == nullptr) return D3DERR_INVALIDCALL;
  SDL_Surface* image = LoadBitmap(fileName);
  if (image == nullptr) return D3DERR_INVALIDCALL;
  SDL_SetSurfaceBlendMode(image, SDL_BLENDMODE_NONE);
  const int result = image->w == destination->pixels->w && image->h == destination->pixels->h
                         ? SDL_BlitSurface(image, nullptr, destination->pixels, nullptr)
                         : SDL_BlitScaled(image, nullptr, destination->pixels, nullptr);
  SDL_FreeSurface(image);
  destination->textureStale = true;
  return result == 0 ? D3D_OK : D3DERR_INVALIDCALL;
}

// Every pixel equal to the key, alpha included, becomes transparent black; a pixel one step off stays.
// The game always asks for the file's own size (0 means the same), so no other size is offered.
HRESULT CreateTextureFromFileEx(GraphicsDevice* device, const char* fileName, int32_t width, int32_t height,
                                uint32_t colourKey, ImageInfo* info, Texture** texture) {
  if (device == nullptr) return D3DERR_INVALIDCALL;
  SDL_Surface* image = LoadArgb(fileName);
  if (image == nullptr) return D3DERR_INVALIDCALL;
  if ((width != 0 && width != image->w) || (height != 0 && height != image->h)) {
    SDL_FreeSurface(image);
    return D3DERR_INVALIDCALL;
  }
  bool translucent = false;
  SDL_LockSurface(image);
  for (int y = 0; y < image->h; ++y) {
    auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(image->pixels) + y * image->pitch);
    for (int x = 0; x < image->w; ++x) {
      if (row[x] == colourKey) row[x] = 0x00000000;
      translucent = translucent || (row[x] >> 24) != 0xFF;
    }
  }
  SDL_UnlockSurface(image);
  auto* created = new Texture;
  if (translucent) {
    CountTransparent(image, created->transparentBefore);
    created->opaque = OpaqueTexture(device, image);
  } else if (SDL_Surface* opaque = SDL_ConvertSurfaceFormat(image, device->surfaceFormat, 0)) {
    // Kept in the frame's own format, so drawing it with blending off is a plain copy of rows.
    SDL_FreeSurface(image);
    image = opaque;
  }
  SDL_Texture* made = SDL_CreateTextureFromSurface(device->renderer, image);
  const ImageInfo size{image->w, image->h};
  SDL_FreeSurface(image);
  if (made == nullptr) {
    if (created->opaque != nullptr) SDL_DestroyTexture(created->opaque);
    delete created;
    return E_OUTOFMEMORY;
  }
  SDL_SetTextureScaleMode(made, SDL_ScaleModeNearest);

  created->device = device;
  created->texture = made;
  created->width = size.width;
  created->height = size.height;
  created->translucent = translucent;
  device->textures.push_back(created);
  if (info) *info = size;
  *texture = created;
  return D3D_OK;
}

// ---- Frame ----

// Onto the back buffer the copy is drawn into the frame; between surfaces it is a copy of pixels in
// memory (a plain copy when both have the same format).
HRESULT StretchRect(GraphicsDevice* device, Surface* source, const Rect* sourceRect, Surface* target,
                    const Rect* targetRect) {
  if (device == nullptr || source == nullptr || target == nullptr || source->pixels == nullptr ||
      source->device != device || target->device != device)
    return D3DERR_INVALIDCALL;
  SDL_Rect from;
  SDL_Rect to;
  int targetWidth = 0;
  int targetHeight = 0;
  if (target->pixels != nullptr) {
    targetWidth = target->pixels->w;
    targetHeight = target->pixels->h;
  } else {
    targetWidth = device->width;
    targetHeight = device->height;
  }
  if (!ResolveRect(source->pixels->w, source->pixels->h, sourceRect, from) ||
      !ResolveRect(targetWidth, targetHeight, targetRect, to))
    return D3DERR_INVALIDCALL;

  if (target->pixels == nullptr) {
    SDL_Texture* texture = TextureOf(source);
    if (texture == nullptr) return D3DERR_INVALIDCALL;
    return SDL_RenderCopy(device->renderer, texture, &from, &to) == 0 ? D3D_OK : D3DERR_INVALIDCALL;
  }
  const int result = from.w == to.w && from.h == to.h ? SDL_BlitSurface(source->pixels, &from, target->pixels, &to)
                                                      : SDL_BlitScaled(source->pixels, &from, target->pixels, &to);
  target->textureStale = true;
  return result == 0 ? D3D_OK : D3DERR_INVALIDCALL;
}

// The picture keeps the last frame, as a copied back buffer does; every frame covers it whole anyway.
HRESULT BeginScene(GraphicsDevice* device) {
  if (device == nullptr) return D3DERR_INVALIDCALL;
  if (device->target != nullptr) SDL_SetRenderTarget(device->renderer, device->target);
  return D3D_OK;
}

HRESULT EndScene(GraphicsDevice* device) { return device != nullptr ? D3D_OK : D3DERR_INVALIDCALL; }

// Shown, then the loop held until the next frame is due (see platform/frame_pacer.h).
HRESULT Present(GraphicsDevice* device) {
  if (device == nullptr) return D3DERR_INVALIDCALL;
  ShowPicture(device);
  if (!pacingOn) return D3D_OK;
  NoteNewFrame(device->pacer, NowMicros());
  HoldUntilNextFrame(device->pacer, NowMicros, [](int64_t until) {
    std::this_thread::sleep_until(Clock::time_point(std::chrono::microseconds(until)));
  });
  if (device->vsync && !device->pacer.waitsForRetrace) device->vsync = SDL_RenderSetVSync(device->renderer, 0) != 0;
  return D3D_OK;
}

HRESULT SpriteBegin(SpriteBatch* sprite, uint32_t flags) {
  if (sprite == nullptr || sprite->begun) return D3DERR_INVALIDCALL;
  sprite->begun = true;
  sprite->alphaBlend = (flags & D3DXSPRITE_ALPHABLEND) != 0;
  return D3D_OK;
}

HRESULT SpriteEnd(SpriteBatch* sprite) {
  if (sprite == nullptr || !sprite->begun) return D3DERR_INVALIDCALL;
  sprite->begun = false;
  return D3D_OK;
}

// Blending is the costly part of drawing, so a sheet without transparent pixels is drawn without it.
HRESULT SpriteDraw(SpriteBatch* sprite, Texture* texture, const Rect* sourceRect, float x, float y, uint32_t) {
  if (sprite == nullptr || !sprite->begun || texture == nullptr || texture->texture == nullptr)
    return D3DERR_INVALIDCALL;
  const Rect r = sourceRect ? *sourceRect : Rect{0, 0, texture->width, texture->height};
  const SDL_Rect from{r.left, r.top, r.right - r.left, r.bottom - r.top};
  const SDL_Rect to{static_cast<int>(x), static_cast<int>(y), from.w, from.h};
  if (texture->opaque != nullptr && !HasTransparent(*texture, from))
    return SDL_RenderCopy(sprite->device->renderer, texture->opaque, &from, &to) == 0 ? D3D_OK : D3DERR_INVALIDCALL;
  const SDL_BlendMode mode = sprite->alphaBlend && texture->translucent ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE;
  if (mode != texture->mode) {
    SDL_SetTextureBlendMode(texture->texture, mode);
    texture->mode = mode;
  }
  return SDL_RenderCopy(sprite->device->renderer, texture->texture, &from, &to) == 0 ? D3D_OK : D3DERR_INVALIDCALL;
}

void SetPresentPacing(bool on) { pacingOn = on; }

// ---- Release ----

void Release(Direct3D* direct3D) { delete direct3D; }

// Destroying the renderer destroys its textures too; the surfaces and textures still alive forget them.
void Release(GraphicsDevice* device) {
  if (device == nullptr) return;
  for (Surface* surface : device->surfaces) {
    surface->texture = nullptr;
    surface->textureStale = true;
    surface->device = nullptr;
  }
  for (Texture* texture : device->textures) {
    texture->texture = nullptr;
    texture->opaque = nullptr;
    texture->device = nullptr;
  }
  SDL_DestroyRenderer(device->renderer);
  if (device->composed != nullptr) SDL_FreeSurface(device->composed);
  device->window->renderer = nullptr;
  delete device;
}

// The back buffer belongs to its device and is not freed here.
void Release(Surface* surface) {
  if (surface == nullptr || surface->pixels == nullptr) return;
  if (surface->device != nullptr) {
    Forget(surface->device->surfaces, surface);
    if (surface->texture != nullptr) SDL_DestroyTexture(surface->texture);
  }
  SDL_FreeSurface(surface->pixels);
  delete surface;
}

// A texture whose device went first was already destroyed by SDL with the renderer.
void Release(Texture* texture) {
  if (texture == nullptr) return;
  if (texture->device != nullptr) {
    Forget(texture->device->textures, texture);
    SDL_DestroyTexture(texture->texture);
    if (texture->opaque != nullptr) SDL_DestroyTexture(texture->opaque);
  }
  delete texture;
}

void Release(SpriteBatch* sprite) { delete sprite; }
