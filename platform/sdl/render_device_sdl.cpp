// Graphics device stand-ins over an SDL renderer.
// Surfaces in memory with a texture made for drawing, colour-keyed sprite textures, rectangle copies, the
// sprite batch, the frame's draws kept until its present (a frame equal to the one on screen is not
// composed again), and the one place the frame pacing is called from. The picture is picture_sdl.cpp's,
// the bitmaps bitmap_sdl.cpp's.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <type_traits>
#include <vector>

#include "platform/frame_pacer.h"
#include "platform/render_device.h"
#include "platform/system.h"
#include "platform/sdl/bitmap_sdl.h"
#include "platform/sdl/game_window.h"
#include "platform/sdl/picture_sdl.h"
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

// One draw onto the frame as the game asked for it: a window of a surface, or a cell of a sprite sheet.
// Every byte is a field, so a frame's draws compare with the last frame's as one block of memory.
struct Draw {
  Surface* surface = nullptr;
  Texture* sheet = nullptr;
  SDL_Rect from = {0, 0, 0, 0};
  SDL_Rect to = {0, 0, 0, 0};
  uint32_t blended = 0;  // the cell is drawn in an alpha-blended batch
  uint32_t unused = 0;   // what would be padding, so that no byte is left undefined
};
static_assert(std::has_unique_object_representations_v<Draw>, "draws are compared byte by byte");

// The one rendering device: its picture, the surfaces and textures it made, the frame's draws and those
// of the frame on screen, and the frame pacing.
struct GraphicsDevice {
  Picture picture;
  Surface backBuffer;
  std::vector<Surface*> surfaces;  // alive, so a released device leaves none pointing at its textures
  std::vector<Texture*> textures;
  std::vector<Draw> draws;         // the frame's, in order, drawn at its present
  std::vector<Draw> shownDraws;    // the frame's on screen; emptied when a surface or sheet may look different
  SDL_Point shownSize = {0, 0};    // the window's size in pixels when it was shown
  bool repaint = true;             // the screen lost the picture: the next frame is shown whole
  FramePacer pacer;
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
int64_t framesComposed = 0;  // for the tests (FramesComposed)

// The pace for the window's display: by the retrace where the renderer waits for one at a rate that suits
// the game's, otherwise by the clock with the renderer's wait turned off.
void StartFramePacing(GraphicsDevice& device) {
  Picture& picture = device.picture;
  const int32_t refresh = RefreshRate(picture.window->sdlWindow);
  const bool waits = PaceByRetrace(refresh, picture.vsync);
  if (picture.vsync && !waits) picture.vsync = SDL_RenderSetVSync(picture.renderer, 0) != 0;
  device.pacer = StartPacing(refresh, waits);
}

// The loop held until the next frame is due; a pacer that gave up on the retrace turns the renderer's wait off.
void PaceFrame(GraphicsDevice& device, bool presented) {
  if (presented) {
    NoteNewFrame(device.pacer, NowMicros());
  } else {
    NoteFrameNotPresented(device.pacer, NowMicros());
  }
  HoldUntilNextFrame(device.pacer, NowMicros, [](int64_t until) {
    std::this_thread::sleep_until(Clock::time_point(std::chrono::microseconds(until)));
  });
  Picture& picture = device.picture;
  if (picture.vsync && !device.pacer.waitsForRetrace) picture.vsync = SDL_RenderSetVSync(picture.renderer, 0) != 0;
}

template <typename T>
void Forget(std::vector<T*>& list, T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

// Draws of the frame from something released before its present.
template <typename Of>
void ForgetDraws(std::vector<Draw>& draws, Of of) {
  draws.erase(std::remove_if(draws.begin(), draws.end(), of), draws.end());
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
  SDL_Renderer* renderer = surface->device->picture.renderer;
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

// Blending is the costly part of drawing, so a sheet without transparent pixels is drawn without it, and
// so is a cell of a translucent sheet that has none.
void DrawOnPicture(GraphicsDevice& device, const Draw& draw) {
  SDL_Renderer* renderer = device.picture.renderer;
  if (draw.surface != nullptr) {
    if (SDL_Texture* texture = TextureOf(draw.surface)) SDL_RenderCopy(renderer, texture, &draw.from, &draw.to);
    return;
  }
  Texture* sheet = draw.sheet;
  if (sheet->opaque != nullptr && !HasTransparent(sheet->transparentBefore, sheet->width, sheet->height, draw.from)) {
    SDL_RenderCopy(renderer, sheet->opaque, &draw.from, &draw.to);
    return;
  }
  const SDL_BlendMode mode = draw.blended != 0 && sheet->translucent ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE;
  if (mode != sheet->mode) {
    SDL_SetTextureBlendMode(sheet->texture, mode);
    sheet->mode = mode;
  }
  SDL_RenderCopy(renderer, sheet->texture, &draw.from, &draw.to);
}

// The frame composed and shown, unless the screen holds it already: the same draws in the same order on a
// window of the same size, and nothing since that lost the picture. True when it was shown.
bool ShowFrame(GraphicsDevice& device) {
  SDL_Point size = {0, 0};
  SDL_GetWindowSizeInPixels(device.picture.window->sdlWindow, &size.x, &size.y);
  const bool lost = device.repaint || size.x != device.shownSize.x || size.y != device.shownSize.y;
  const bool onScreen =
      !lost && device.draws.size() == device.shownDraws.size() &&
      std::memcmp(device.draws.data(), device.shownDraws.data(), device.draws.size() * sizeof(Draw)) == 0;
  if (!onScreen) {
    ComposePicture(device.picture);
    for (const Draw& draw : device.draws) DrawOnPicture(device, draw);
    ShowPicture(device.picture, device.repaint);
    ++framesComposed;
    device.repaint = false;
    device.shownSize = size;
    device.shownDraws.swap(device.draws);
    // An OpenGL driver may draw the first frame after a new size into buffers of the old one (software
    // OpenGL does): the frame after it is shown too.
    if (lost) device.shownDraws.clear();
  }
  device.draws.clear();
  return !onScreen;
}

// A window event or a renderer reset that leaves the screen without the picture: it is shown whole again.
int NoteLostPicture(void* data, SDL_Event* event) {
  auto* device = static_cast<GraphicsDevice*>(data);
  if (event->type == SDL_RENDER_TARGETS_RESET || event->type == SDL_RENDER_DEVICE_RESET) device->repaint = true;
  if (event->type != SDL_WINDOWEVENT || event->window.windowID != SDL_GetWindowID(device->picture.window->sdlWindow))
    return 0;
  const Uint8 what = event->window.event;
  if (what == SDL_WINDOWEVENT_SHOWN || what == SDL_WINDOWEVENT_EXPOSED || what == SDL_WINDOWEVENT_RESIZED ||
      what == SDL_WINDOWEVENT_SIZE_CHANGED || what == SDL_WINDOWEVENT_MAXIMIZED || what == SDL_WINDOWEVENT_RESTORED)
    device->repaint = true;
  return 0;
}

}  // namespace

// ---- Device ----

Direct3D* Direct3DCreate9(uint32_t sdkVersion) {
  if (sdkVersion != D3D_SDK_VERSION || SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
  return new Direct3D;
}

// The picture with the renderer chosen for the machine (see StartPicture). Full screen covers the display,
// the picture scaled up as PlacePicture says.
HRESULT CreateDevice(Direct3D* direct3D, WindowHandle focusWindow, const PresentParameters& parameters,
                     GraphicsDevice** device) {
  *device = nullptr;
  if (direct3D == nullptr || focusWindow == nullptr || focusWindow->sdlWindow == nullptr ||
      focusWindow->renderer != nullptr || parameters.backBufferWidth <= 0 || parameters.backBufferHeight <= 0)
    return D3DERR_INVALIDCALL;
  auto* created = new GraphicsDevice;
  created->backBuffer.device = created;
  if (!StartPicture(created->picture, *focusWindow, parameters.backBufferWidth, parameters.backBufferHeight)) {
    delete created;
    return D3DERR_NOTAVAILABLE;
  }
  // Only now: an OpenGL renderer makes the window anew, at the place and size it had as a window.
  if (!parameters.windowed) SetGameWindowFullscreen(true);
  StartFramePacing(*created);
  SDL_AddEventWatch(NoteLostPicture, created);

  focusWindow->renderer = created->picture.renderer;
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
  SDL_Surface* pixels = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, device->picture.surfaceFormat);
  if (pixels == nullptr) return E_OUTOFMEMORY;
  SDL_SetSurfaceBlendMode(pixels, SDL_BLENDMODE_NONE);
  auto* created = new Surface;
  created->device = device;
  created->pixels = pixels;
  device->surfaces.push_back(created);
  device->shownDraws.clear();  // it may lie where a released one did
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
  if (destination->device != nullptr) destination->device->shownDraws.clear();
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
  const bool translucent = KeyOutColour(image, colourKey);
  auto* created = new Texture;
  if (translucent) {
    CountTransparent(image, created->transparentBefore);
    created->opaque = OpaqueTexture(device->picture.renderer, device->picture.surfaceFormat, image);
  } else if (SDL_Surface* opaque = SDL_ConvertSurfaceFormat(image, device->picture.surfaceFormat, 0)) {
    // Kept in the frame's own format, so drawing it with blending off is a plain copy of rows.
    SDL_FreeSurface(image);
    image = opaque;
  }
  SDL_Texture* made = SDL_CreateTextureFromSurface(device->picture.renderer, image);
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
  device->shownDraws.clear();  // it may lie where a released one did
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
    targetWidth = device->picture.width;
    targetHeight = device->picture.height;
  }
  if (!ResolveRect(source->pixels->w, source->pixels->h, sourceRect, from) ||
      !ResolveRect(targetWidth, targetHeight, targetRect, to))
    return D3DERR_INVALIDCALL;

  if (target->pixels == nullptr) {
    Draw draw;
    draw.surface = source;
    draw.from = from;
    draw.to = to;
    device->draws.push_back(draw);
    return D3D_OK;
  }
  const int result = from.w == to.w && from.h == to.h ? SDL_BlitSurface(source->pixels, &from, target->pixels, &to)
                                                      : SDL_BlitScaled(source->pixels, &from, target->pixels, &to);
  target->textureStale = true;
  device->shownDraws.clear();
  return result == 0 ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT BeginScene(GraphicsDevice* device) { return device != nullptr ? D3D_OK : D3DERR_INVALIDCALL; }

HRESULT EndScene(GraphicsDevice* device) { return device != nullptr ? D3D_OK : D3DERR_INVALIDCALL; }

// Shown unless the screen holds the frame already, then the loop held until the next frame is due (see
// platform/frame_pacer.h).
HRESULT Present(GraphicsDevice* device) {
  if (device == nullptr) return D3DERR_INVALIDCALL;
  const bool presented = ShowFrame(*device);
  if (pacingOn) PaceFrame(*device, presented);
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

HRESULT SpriteDraw(SpriteBatch* sprite, Texture* texture, const Rect* sourceRect, float x, float y, uint32_t) {
  if (sprite == nullptr || !sprite->begun || texture == nullptr || texture->texture == nullptr)
    return D3DERR_INVALIDCALL;
  const Rect r = sourceRect ? *sourceRect : Rect{0, 0, texture->width, texture->height};
  Draw draw;
  draw.sheet = texture;
  draw.from = SDL_Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
  draw.to = SDL_Rect{static_cast<int>(x), static_cast<int>(y), draw.from.w, draw.from.h};
  draw.blended = sprite->alphaBlend ? 1 : 0;
  // A cell wholly off the picture draws nothing (the play frame draws every wall cell of the level).
  const Picture& picture = sprite->device->picture;
  if (draw.to.x >= picture.width || draw.to.y >= picture.height || draw.to.x + draw.to.w <= 0 ||
      draw.to.y + draw.to.h <= 0)
    return D3D_OK;
  sprite->device->draws.push_back(draw);
  return D3D_OK;
}

void SetPresentPacing(bool on) { pacingOn = on; }
int64_t FramesComposed() { return framesComposed; }

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
  SDL_DelEventWatch(NoteLostPicture, device);
  device->picture.window->renderer = nullptr;
  StopPicture(device->picture);
  delete device;
}

// The back buffer belongs to its device and is not freed here.
void Release(Surface* surface) {
  if (surface == nullptr || surface->pixels == nullptr) return;
  if (surface->device != nullptr) {
    Forget(surface->device->surfaces, surface);
    ForgetDraws(surface->device->draws, [surface](const Draw& draw) { return draw.surface == surface; });
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
    ForgetDraws(texture->device->draws, [texture](const Draw& draw) { return draw.sheet == texture; });
    SDL_DestroyTexture(texture->texture);
    if (texture->opaque != nullptr) SDL_DestroyTexture(texture->opaque);
  }
  delete texture;
}

void Release(SpriteBatch* sprite) { delete sprite; }
