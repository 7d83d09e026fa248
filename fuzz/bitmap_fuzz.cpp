// Arbitrary bytes as a bitmap file, loaded the way start-up loads the background and the sprite sheets
// (SDL's decoder under our surface and texture stand-ins) and then drawn: nothing may crash, read or
// write out of bounds, or allocate what the header merely claims.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/graphics.h"
#include "platform/picture_size.h"
#include "platform/sdl/test_hooks.h"
#include "platform/system.h"

// Aborts, so libFuzzer keeps the input that broke the rule.
#define CHECK(condition)                                                                \
  do {                                                                                  \
    if (!(condition)) {                                                                 \
      std::fprintf(stderr, "bitmap_fuzz: %s failed (line %d)\n", #condition, __LINE__); \
      std::abort();                                                                     \
    }                                                                                   \
  } while (0)

namespace {

// The sheets' colour key, so keyed pixels really become transparent.
constexpr uint32_t kColourKey = 0xFFFF00FF;

// The loaders take a file name; one file per process keeps parallel fuzzers apart.
std::string scratchFile;

// Draws what loaded through the frame's own calls, clipped to the screen, so the textures are used.
void DrawLoaded(Surface* surface, Texture* texture, const ImageInfo& info) {
  BeginScene(graphicsDevice);
  if (surface != nullptr) {
    const Rect part{0, 0, info.width < kPictureWidth ? info.width : kPictureWidth, info.height < kPictureHeight ? info.height : kPictureHeight};
    StretchRect(graphicsDevice, surface, &part, backBuffer, &part);
  }
  if (texture != nullptr) {
    SpriteBegin(spriteBatch, D3DXSPRITE_ALPHABLEND);
    DrawSpriteFrame(texture, 3, 5, 1, info.width / 2, info.height, 2);
    SpriteEnd(spriteBatch);
  }
  EndScene(graphicsDevice);
  Present(graphicsDevice);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_RENDER_DRIVER", "software", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  const char* folder = std::getenv("TMPDIR");
  scratchFile = std::string(folder ? folder : "/tmp") + "/vems_bitmap_fuzz_" + std::to_string(getpid()) + ".bmp";
  WindowHandle window = CreateGameWindow("Vems", kPictureWidth, kPictureHeight);
  CHECK(window != nullptr);
  CHECK(InitGraphics(window, kPictureWidth, kPictureHeight, false));
  SetPresentPacing(false);  // a present per input must not wait for the display
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(scratchFile.c_str(), "wb");
  CHECK(file != nullptr);
  CHECK(std::fwrite(data, 1, size, file) == size);
  std::fclose(file);

  ImageInfo info;
  const bool decodable = SUCCEEDED(GetImageInfoFromFile(scratchFile.c_str(), &info));
  Surface* surface = LoadSurfaceFromImage(scratchFile);
  Texture* texture = LoadTextureFromImage(scratchFile, kColourKey);
  // Neither loader may accept what the size probe refused, nor report a size of nothing.
  CHECK(decodable || (surface == nullptr && texture == nullptr));
  if (decodable) CHECK(info.width > 0 && info.height > 0);
  if (surface != nullptr || texture != nullptr) DrawLoaded(surface, texture, info);
  Release(texture);
  Release(surface);
  std::remove(scratchFile.c_str());
  return 0;
}
