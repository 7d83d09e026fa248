// Graphics device stand-ins over an SDL renderer.
// Surfaces in memory with a texture made for drawing, colour-keyed sprite textures, rectangle copies and the
// sprite batch. The frame's draws are kept by frame_draws.cpp, paced by present_pacing.cpp; the picture is
// picture_sdl.cpp's, the bitmaps bitmap_sdl.cpp's.
#include <algorithm>
#include <vector>

#include "platform/render_device.h"
#include "platform/system.h"
#include "platform/sdl/bitmap_sdl.h"
#include "platform/sdl/device_images.h"
#include "platform/sdl/frame_draws.h"
#include "platform/sdl/game_window.h"
#include "platform/sdl/picture_sdl.h"
#include "platform/sdl/present_pacing.h"

struct Direct3D {};

// The one rendering device: its picture, the surfaces and textures it made, the frame's draws kept until
// its present, and the frame pacing.
struct GraphicsDevice {
  Picture picture;
  Surface backBuffer;
  std::vector<Surface*> surfaces;  // alive, so a released device leaves none pointing at its textures
  std::vector<Texture*> textures;
  KeptFrame frame;
  FramePacer pacer;
};

struct SpriteBatch {
  GraphicsDevice* device = nullptr;
  bool begun = false;
  bool alphaBlend = false;
};

namespace {

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
  created->pacer = StartFramePacing(created->picture);
  StartKeepingFrames(created->frame, *created->picture.window);

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
  ForgetShownFrame(device->frame);  // it may lie where a released one did
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
  if (destination->device != nullptr) ForgetShownFrame(destination->device->frame);
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
  ForgetShownFrame(device->frame);  // it may lie where a released one did
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
    device->frame.draws.push_back(draw);
    return D3D_OK;
  }
  const int result = from.w == to.w && from.h == to.h ? SDL_BlitSurface(source->pixels, &from, target->pixels, &to)
                                                      : SDL_BlitScaled(source->pixels, &from, target->pixels, &to);
  target->textureStale = true;
  ForgetShownFrame(device->frame);
  return result == 0 ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT BeginScene(GraphicsDevice* device) { return device != nullptr ? D3D_OK : D3DERR_INVALIDCALL; }

HRESULT EndScene(GraphicsDevice* device) { return device != nullptr ? D3D_OK : D3DERR_INVALIDCALL; }

// Shown unless the screen holds the frame already, then the loop held until the next frame is due (see
// platform/frame_pacer.h).
HRESULT Present(GraphicsDevice* device) {
  if (device == nullptr) return D3DERR_INVALIDCALL;
  const bool presented = ShowFrame(device->frame, device->picture);
  PaceFrame(device->pacer, device->picture, presented);
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
  sprite->device->frame.draws.push_back(draw);
  return D3D_OK;
}

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
  StopKeepingFrames(device->frame);
  device->picture.window->renderer = nullptr;
  StopPicture(device->picture);
  delete device;
}

// The back buffer belongs to its device and is not freed here.
void Release(Surface* surface) {
  if (surface == nullptr || surface->pixels == nullptr) return;
  if (surface->device != nullptr) {
    Forget(surface->device->surfaces, surface);
    ForgetDrawsOf(surface->device->frame, surface);
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
    ForgetDrawsOf(texture->device->frame, texture);
    SDL_DestroyTexture(texture->texture);
    if (texture->opaque != nullptr) SDL_DestroyTexture(texture->opaque);
  }
  delete texture;
}

void Release(SpriteBatch* sprite) { delete sprite; }
