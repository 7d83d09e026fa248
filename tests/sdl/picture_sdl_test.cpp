// Our nearest-pixel copy of the picture into framebuffers of every pixel format it writes, checked against
// SDL's own conversion of the same picture, sampled by the nearest pixel.
#include "platform/sdl/picture_sdl.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A picture whose every pixel differs from its neighbours in all three channels.
SDL_Surface* PatternPicture() {
  SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 32, SDL_PIXELFORMAT_RGB888);
  for (int y = 0; y < picture->h; ++y) {
    auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(picture->pixels) + y * picture->pitch);
    for (int x = 0; x < picture->w; ++x)
      row[x] = static_cast<Uint32>((x * 7 + y) & 0xFF) << 16 | static_cast<Uint32>((x * 3 + y * 5) & 0xFF) << 8 |
               static_cast<Uint32>((y * 11 + x) & 0xFF);
  }
  return picture;
}

// The first pixel of screen that is not the picture converted by SDL and sampled by the nearest pixel in
// place, or black outside it; "" when there is none.
std::string FirstWrongPixel(SDL_Surface* picture, const SDL_Surface* screen, const PicturePlace& place) {
  SDL_Surface* expected = SDL_ConvertSurfaceFormat(picture, screen->format->format, 0);
  const int bytes = screen->format->BytesPerPixel;
  const Uint32 black = SDL_MapRGB(screen->format, 0, 0, 0);
  std::string wrong;
  for (int y = 0; y < screen->h && wrong.empty(); ++y) {
    for (int x = 0; x < screen->w && wrong.empty(); ++x) {
      const Uint8* seen = static_cast<const Uint8*>(screen->pixels) + y * screen->pitch + x * bytes;
      const int px = x - place.x, py = y - place.y;
      const Uint8* want = reinterpret_cast<const Uint8*>(&black);
      if (px >= 0 && py >= 0 && px < place.width && py < place.height) {
        const int row = (2 * py + 1) * picture->h / (2 * place.height);
        const int column = (2 * px + 1) * picture->w / (2 * place.width);
        want = static_cast<const Uint8*>(expected->pixels) + row * expected->pitch + column * bytes;
      }
      if (std::memcmp(seen, want, static_cast<size_t>(bytes)) != 0)
        wrong = "at " + std::to_string(x) + "," + std::to_string(y);
    }
  }
  SDL_FreeSurface(expected);
  return wrong;
}

// Every format the window's framebuffer comes in: 16-bit, 24-bit packed, 32-bit in several channel orders
// (the picture's own among them, copied without conversion), with alpha, and 30-bit. The framebuffer
// starts out as garbage; after the first copy it holds the picture on black bars, and after rows of the
// picture change (the first, some in the middle, the last) a second copy shows them too.
TEST(ScaledCopyTest, WritesEveryFramebufferFormatAsSdlConvertsThePicture) {
  SDL_Surface* picture = PatternPicture();
  ASSERT_NE(picture, nullptr);
  const PicturePlace place{171, 0, 1024, 768};
  for (const Uint32 format : {SDL_PIXELFORMAT_RGB565, SDL_PIXELFORMAT_BGR565, SDL_PIXELFORMAT_RGB555,
                              SDL_PIXELFORMAT_RGB24, SDL_PIXELFORMAT_BGR24, SDL_PIXELFORMAT_RGB888,
                              SDL_PIXELFORMAT_BGR888, SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_ARGB2101010}) {
    SCOPED_TRACE(SDL_GetPixelFormatName(format));
    SDL_Surface* screen = SDL_CreateRGBSurfaceWithFormat(0, 1366, 768, 0, format);
    ASSERT_NE(screen, nullptr);
    ASSERT_TRUE(ScaledCopyWrites(screen->format));
    std::memset(screen->pixels, 0x5A, static_cast<size_t>(screen->pitch) * screen->h);
    ScaledCopy copy;
    CopyScaled(copy, picture, screen, place);
    EXPECT_EQ(FirstWrongPixel(picture, screen, place), "");

    SDL_Surface* changed = PatternPicture();
    for (const int y : {0, 200, 201, 202, 479}) {
      const SDL_Rect row{0, y, 640, 1};
      SDL_FillRect(changed, &row, static_cast<Uint32>(0x123456 * (y + 1)) & 0xFFFFFF);
    }
    CopyScaled(copy, changed, screen, place);
    EXPECT_EQ(FirstWrongPixel(changed, screen, place), "");

    ForgetScaledCopy(copy);
    SDL_FreeSurface(changed);
    SDL_FreeSurface(screen);
  }
  SDL_FreeSurface(picture);
}

}  // namespace
