// The picture on the graphics card's path: an OpenGL renderer drawing into a render target shown in one
// scaled copy. Needs a real X display with OpenGL (e2e/gl_renderer_xvfb.sh runs it under Xvfb with
// SDL_RENDER_DRIVER=opengl); where no OpenGL renderer opens, every test says so and skips.
#include <gtest/gtest.h>

#include <string>

#include "platform/graphics.h"
#include "platform/sdl/test_hooks.h"
#include "platform/system.h"
#include "support/bitmap_file.h"

namespace {

class PictureGlTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WindowHandle window = CreateGameWindow("Vems", 640, 480);
    if (window == nullptr) {
      why = "no window: " + PlatformError();
    } else if (!InitGraphics(window, 640, 480, false)) {
      why = "no device: " + PlatformError();
    } else if (RendererName() == "software") {
      why = "the renderer is SDL's software one";
    }
  }

  void SetUp() override {
    if (!why.empty()) GTEST_SKIP() << "no OpenGL renderer opens here (" << why << ")";
  }

  static std::string why;  // why there is no OpenGL renderer; empty when there is one
};

std::string PictureGlTest::why;

// On screens of 1366x768 and 1920x1080 (windows of that size) every screen pixel of the picture's place is
// the picture pixel under its centre, crisp (on a centre that falls exactly on a pixel edge either side
// will do), and the bars are black. The frame is presented twice, as at rest the game presents the same
// picture again: the first frame at a new size is drawn before the driver has taken the size.
TEST_F(PictureGlTest, ScaledPictureIsNearestPixelInItsPlaceOnBlackBars) {
  std::vector<uint32_t> pattern(640 * 480);
  for (uint32_t y = 0; y < 480; ++y)
    for (uint32_t x = 0; x < 640; ++x)
      pattern[y * 640 + x] = 0xFF000000 | (x * 7 & 0xFF) << 16 | (x << 6 & 0xFF00) | (y * 3 & 0xFF);
  Surface* picture = LoadSurfaceFromImage(WriteTestBitmap("pattern.bmp", 640, 480, pattern));
  ASSERT_NE(picture, nullptr);
  struct Size {
    int32_t width, height, placeX, placeWidth;
  };
  for (const Size& size : {Size{1366, 768, 171, 1024}, Size{1920, 1080, 240, 1440}}) {
    ResizeGameWindow(size.width, size.height);
    std::vector<uint32_t> screen;
    int32_t width = 0;
    int32_t height = 0;
    for (int frame = 0; frame < 2; ++frame) {
      BeginScene(graphicsDevice);
      StretchRect(graphicsDevice, picture, nullptr, backBuffer, nullptr);
      EndScene(graphicsDevice);
      Present(graphicsDevice);
    }
    ASSERT_TRUE(ReadScreen(screen, width, height));
    ASSERT_EQ(width, size.width);
    ASSERT_EQ(height, size.height);
    // The picture pixel (or, on an edge, the two) under the centre of screen pixel at along a place of length
    // shown for a picture of length picture.
    auto under = [](int32_t at, int32_t shown, int32_t picture, int32_t& low, int32_t& high) {
      const int64_t twice = (2 * int64_t{at} + 1) * picture;
      high = static_cast<int32_t>(twice / (2 * shown));
      low = twice % (2 * shown) == 0 && high > 0 ? high - 1 : high;
    };
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        const uint32_t seen = screen[static_cast<size_t>(y) * width + x] | 0xFF000000;
        const int32_t px = x - size.placeX;
        if (px < 0 || px >= size.placeWidth) {
          ASSERT_EQ(seen, 0xFF000000u) << size.width << "x" << size.height << " bar at " << x << "," << y;
          continue;
        }
        int32_t left = 0, right = 0, top = 0, bottom = 0;
        under(px, size.placeWidth, 640, left, right);
        under(y, size.height, 480, top, bottom);
        bool match = false;
        for (int32_t row = top; row <= bottom; ++row)
          for (int32_t column = left; column <= right; ++column)
            match = match || seen == pattern[static_cast<size_t>(row) * 640 + column];
        ASSERT_TRUE(match) << size.width << "x" << size.height << " at " << x << "," << y << ": " << std::hex << seen
                           << " for picture pixel " << std::dec << right << "," << bottom;
      }
    }
  }
  Release(picture);
}

}  // namespace
