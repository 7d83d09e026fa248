// The graphics device stand-ins for tests: in-memory objects and a log of what was drawn and presented.
// Objects are sized from the real files; copies are logged too.
#include "platform/fake/fake_graphics.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <memory>

#include "platform/fake/fake_clock.h"
#include "platform/frame_pacer.h"
#include "platform/regular_file.h"

struct Direct3D {};

struct Surface {
  int32_t width = 0;
  int32_t height = 0;
  std::string file;  // the image loaded into it, "" when only created
};

struct Texture {
  int32_t width = 0;
  int32_t height = 0;
  std::string file;
};

struct GraphicsDevice {
  PresentParameters parameters;
  Surface* backBuffer = nullptr;
  bool inScene = false;
};

struct SpriteBatch {
  bool begun = false;
  uint32_t flags = 0;
};

namespace {

// Everything the fake handed out lives here, so a reset frees it even when the game never releases it.
struct Objects {
  std::vector<std::unique_ptr<Direct3D>> factories;
  std::vector<std::unique_ptr<GraphicsDevice>> devices;
  std::vector<std::unique_ptr<Surface>> surfaces;
  std::vector<std::unique_ptr<Texture>> textures;
  std::vector<std::unique_ptr<SpriteBatch>> sprites;
};

struct Log {
  std::vector<DrawRecord> draws;
  std::vector<CopyRecord> copies;
  int presents = 0;
  int beginScenes = 0;
};

// The simulated display the presents are paced to (refreshHz 0: none).
struct Display {
  int32_t refreshHz = 0;
  FramePacer pacer;
};

Objects objects;
Log drawLog;
Display display;
bool failBeginScene = false;
bool failDeviceCreation = false;

// Keeps a new object and hands out its address.
template <typename T>
T* Keep(std::vector<std::unique_ptr<T>>& list, std::unique_ptr<T> item) {
  list.push_back(std::move(item));
  return list.back().get();
}

// Frees an object the fake handed out; anything else (null, already released) is ignored.
template <typename T>
void Forget(std::vector<std::unique_ptr<T>>& list, const T* item) {
  list.erase(std::remove_if(list.begin(), list.end(), [item](const std::unique_ptr<T>& p) { return p.get() == item; }),
             list.end());
}

template <typename T>
bool Owns(const std::vector<std::unique_ptr<T>>& list, const T* item) {
  return item != nullptr &&
         std::any_of(list.begin(), list.end(), [item](const std::unique_ptr<T>& p) { return p.get() == item; });
}

uint32_t Read16(const std::string& b, size_t at) {
  return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8;
}
uint32_t Read32(const std::string& b, size_t at) { return Read16(b, at) | Read16(b, at + 2) << 16; }

// Reads a Windows bitmap file's headers and checks that its pixels are all there; false for anything that
// is missing, truncated or not a bitmap the real loader could decode. Limits the size it accepts, so a
// damaged header never makes it read far.
bool ReadBitmap(const std::string& fileName, ImageInfo& out) {
  RegularFileStream in(fileName);  // a pipe or a device counts as missing, as in the real loader
  if (!in) return false;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M') return false;
  const uint64_t dataOffset = Read32(bytes, 10);
  const uint32_t infoSize = Read32(bytes, 14);
  int64_t width = 0;
  int64_t height = 0;
  uint32_t planes = 0;
  uint32_t bits = 0;
  uint32_t compression = 0;
  if (infoSize == 12) {
    width = Read16(bytes, 18);
    height = Read16(bytes, 20);
    planes = Read16(bytes, 22);
    bits = Read16(bytes, 24);
  } else if (infoSize >= 40 && infoSize <= 124 && bytes.size() >= 14 + static_cast<size_t>(infoSize)) {
    width = static_cast<int32_t>(Read32(bytes, 18));
    height = static_cast<int32_t>(Read32(bytes, 22));
    planes = Read16(bytes, 26);
    bits = Read16(bytes, 28);
    compression = Read32(bytes, 30);
  } else {
    return false;
  }
  height = std::llabs(height);
  const bool bitsKnown = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
  const bool compressionKnown = compression == 0 || (compression == 1 && bits == 8) ||
                                (compression == 2 && bits == 4) || (compression == 3 && (bits == 16 || bits == 32));
  if (width <= 0 || height <= 0 || width > 32768 || height > 32768 || planes != 1 || !bitsKnown || !compressionKnown)
    return false;
  if (dataOffset < 14 + static_cast<uint64_t>(infoSize) || dataOffset > bytes.size()) return false;
  const uint64_t stride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
  const bool runLength = compression == 1 || compression == 2;
  if (!runLength && dataOffset + stride * static_cast<uint64_t>(height) > bytes.size()) return false;

  out.width = static_cast<int32_t>(width);
  out.height = static_cast<int32_t>(height);
  return true;
}

// The whole surface when rect is null; false when the rectangle is empty or leaves the surface.
bool ResolveRect(const Surface* surface, const Rect* rect, Rect& out) {
  out = rect ? *rect : Rect{0, 0, surface->width, surface->height};
  return out.left >= 0 && out.top >= 0 && out.left < out.right && out.top < out.bottom && out.right <= surface->width &&
         out.bottom <= surface->height;
}

}  // namespace

const std::vector<DrawRecord>& FakeDraws() { return drawLog.draws; }
const std::vector<CopyRecord>& FakeCopies() { return drawLog.copies; }
int FakePresentCount() { return drawLog.presents; }
int FakeBeginSceneCount() { return drawLog.beginScenes; }
void FakeClearLog() { drawLog = Log(); }
void FakeFailBeginScene(bool fail) { failBeginScene = fail; }
void FakeFailDeviceCreation(bool fail) { failDeviceCreation = fail; }

std::string FakeTextureName(const Texture* texture) { return Owns(objects.textures, texture) ? texture->file : ""; }

ImageInfo FakeSurfaceSize(const Surface* surface) {
  ImageInfo info;
  if (Owns(objects.surfaces, surface)) info = ImageInfo{surface->width, surface->height};
  return info;
}

ImageInfo FakeTextureSize(const Texture* texture) {
  ImageInfo info;
  if (Owns(objects.textures, texture)) info = ImageInfo{texture->width, texture->height};
  return info;
}

int FakeLiveSurfaces() { return static_cast<int>(objects.surfaces.size()); }
int FakeLiveTextures() { return static_cast<int>(objects.textures.size()); }

PresentParameters FakeDeviceParameters() {
  return objects.devices.empty() ? PresentParameters() : objects.devices.back()->parameters;
}

int FakeFrameOf(const DrawRecord& draw, int frameWidth, int frameHeight, int columns) {
  return draw.source.top / frameHeight * columns + draw.source.left / frameWidth;
}

void ResetFakeGraphics() {
  objects = Objects();
  drawLog = Log();
  failBeginScene = false;
  failDeviceCreation = false;
  display = Display();
}

void FakeSetDisplay(int32_t refreshHz, bool waitsForRetrace) {
  display.refreshHz = refreshHz;
  display.pacer = StartPacing(refreshHz, PaceByRetrace(refreshHz, waitsForRetrace));
}

bool FakePresentsWaitForRetrace() { return display.pacer.waitsForRetrace; }

// ---- Device ----

Direct3D* Direct3DCreate9(uint32_t sdkVersion) {
  if (sdkVersion != D3D_SDK_VERSION) return nullptr;
  return Keep(objects.factories, std::make_unique<Direct3D>());
}

std::string GraphicsAdvice() { return "a screen the fake can show"; }

HRESULT CreateDevice(Direct3D* direct3D, WindowHandle focusWindow, const PresentParameters& parameters,
                     GraphicsDevice** device) {
  *device = nullptr;
  if (failDeviceCreation || !Owns(objects.factories, direct3D) || focusWindow == nullptr ||
      parameters.backBufferWidth <= 0 || parameters.backBufferHeight <= 0)
    return D3DERR_NOTAVAILABLE;
  auto created = std::make_unique<GraphicsDevice>();
  created->parameters = parameters;
  auto back = std::make_unique<Surface>();
  back->width = parameters.backBufferWidth;
  back->height = parameters.backBufferHeight;
  created->backBuffer = Keep(objects.surfaces, std::move(back));
  *device = Keep(objects.devices, std::move(created));
  return D3D_OK;
}

HRESULT GetBackBuffer(GraphicsDevice* device, Surface** backBuffer) {
  *backBuffer = Owns(objects.devices, device) ? device->backBuffer : nullptr;
  return *backBuffer ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT CreateSprite(GraphicsDevice* device, SpriteBatch** sprite) {
  *sprite = Owns(objects.devices, device) ? Keep(objects.sprites, std::make_unique<SpriteBatch>()) : nullptr;
  return *sprite ? D3D_OK : D3DERR_INVALIDCALL;
}

void ShowDeviceCursor(GraphicsDevice*, bool) {}

// ---- Images ----

HRESULT GetImageInfoFromFile(const char* fileName, ImageInfo* info) {
  ImageInfo bitmap;
  if (!ReadBitmap(fileName, bitmap)) return D3DERR_INVALIDCALL;
  *info = bitmap;
  return D3D_OK;
}

HRESULT CreateOffscreenPlainSurface(GraphicsDevice* device, int32_t width, int32_t height, Surface** surface) {
  *surface = nullptr;
  if (!Owns(objects.devices, device) || width <= 0 || height <= 0) return D3DERR_INVALIDCALL;
  auto created = std::make_unique<Surface>();
  created->width = width;
  created->height = height;
  *surface = Keep(objects.surfaces, std::move(created));
  return D3D_OK;
}

HRESULT LoadSurfaceFromFile(Surface* destination, const char* fileName, uint32_t) {
  ImageInfo bitmap;
  if (!Owns(objects.surfaces, destination) || !ReadBitmap(fileName, bitmap)) return D3DERR_INVALIDCALL;
  destination->file = fileName;
  return D3D_OK;
}

HRESULT CreateTextureFromFileEx(GraphicsDevice* device, const char* fileName, int32_t width, int32_t height,
                                uint32_t, ImageInfo* info, Texture** texture) {
  ImageInfo bitmap;
  if (!Owns(objects.devices, device) || !ReadBitmap(fileName, bitmap)) return D3DERR_INVALIDCALL;
  if (info) *info = bitmap;
  auto created = std::make_unique<Texture>();
  created->width = width > 0 ? width : bitmap.width;
  created->height = height > 0 ? height : bitmap.height;
  created->file = fileName;
  *texture = Keep(objects.textures, std::move(created));
  return D3D_OK;
}

// ---- Frame ----

HRESULT StretchRect(GraphicsDevice* device, Surface* source, const Rect* sourceRect, Surface* target,
                    const Rect* targetRect) {
  Rect from;
  Rect to;
  if (!Owns(objects.devices, device) || !Owns(objects.surfaces, source) || !Owns(objects.surfaces, target) ||
      !ResolveRect(source, sourceRect, from) || !ResolveRect(target, targetRect, to) ||
      from.right - from.left != to.right - to.left || from.bottom - from.top != to.bottom - to.top)
    return D3DERR_INVALIDCALL;
  drawLog.copies.push_back(CopyRecord{source, from, target, to});
  return D3D_OK;
}

HRESULT BeginScene(GraphicsDevice* device) {
  if (failBeginScene || !Owns(objects.devices, device) || device->inScene) return D3DERR_INVALIDCALL;
  device->inScene = true;
  ++drawLog.beginScenes;
  return D3D_OK;
}

HRESULT EndScene(GraphicsDevice* device) {
  if (!Owns(objects.devices, device) || !device->inScene) return D3DERR_INVALIDCALL;
  device->inScene = false;
  return D3D_OK;
}

namespace {

// Retraces come at whole microseconds rounded up from k / refreshHz seconds; a present that waits for one
// moves the clock to the first after now.
void WaitForFakeRetrace() {
  const int64_t hz = display.refreshHz;
  const int64_t k = FakeMicroseconds() * hz / kMicrosPerSecond + 1;
  const int64_t retrace = (k * kMicrosPerSecond + hz - 1) / hz;
  AdvanceFakeMicroseconds(retrace - FakeMicroseconds());
}

}  // namespace

HRESULT Present(GraphicsDevice* device) {
  if (!Owns(objects.devices, device)) return D3DERR_INVALIDCALL;
  ++drawLog.presents;
  if (display.refreshHz == 0) return D3D_OK;
  if (display.pacer.waitsForRetrace) WaitForFakeRetrace();
  NoteNewFrame(display.pacer, FakeMicroseconds());
  HoldUntilNextFrame(display.pacer, FakeMicroseconds,
                     [](int64_t until) { AdvanceFakeMicroseconds(until - FakeMicroseconds()); });
  return D3D_OK;
}

HRESULT SpriteBegin(SpriteBatch* sprite, uint32_t flags) {
  if (!Owns(objects.sprites, sprite) || sprite->begun) return D3DERR_INVALIDCALL;
  sprite->begun = true;
  sprite->flags = flags;
  return D3D_OK;
}

HRESULT SpriteEnd(SpriteBatch* sprite) {
  if (!Owns(objects.sprites, sprite) || !sprite->begun) return D3DERR_INVALIDCALL;
  sprite->begun = false;
  return D3D_OK;
}

// Only draws inside a batch reach the log, as only those reach the screen. A draw without a texture (the
// level checker plays with none loaded) is refused first, before any search of what the fake holds.
HRESULT SpriteDraw(SpriteBatch* sprite, Texture* texture, const Rect* sourceRect, float x, float y, uint32_t) {
  if (texture == nullptr || !Owns(objects.sprites, sprite) || !sprite->begun || !Owns(objects.textures, texture))
    return D3DERR_INVALIDCALL;
  const Rect source = sourceRect ? *sourceRect : Rect{0, 0, texture->width, texture->height};
  drawLog.draws.push_back(DrawRecord{texture, texture->file, source, x, y});
  return D3D_OK;
}

// ---- Release ----

void Release(Direct3D* direct3D) { Forget(objects.factories, direct3D); }
void Release(GraphicsDevice* device) { Forget(objects.devices, device); }
void Release(Surface* surface) { Forget(objects.surfaces, surface); }
void Release(Texture* texture) { Forget(objects.textures, texture); }
void Release(SpriteBatch* sprite) { Forget(objects.sprites, sprite); }
