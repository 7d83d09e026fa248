// A frame equal to the one on screen on SDL's dummy video driver: not composed or copied again, until the
// screen loses the picture (an expose, a new size, a switch of full screen) or what it is drawn from changes.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/graphics.h"
#include "platform/sdl/test_hooks.h"
#include "platform/system.h"
#include "support/bitmap_file.h"

namespace {

constexpr uint32_t kKey = 0xFFFF0080;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kYellow = 0xFFFFFF00;
constexpr uint32_t kSpoilt = 0xFFFF00FF;  // what the screen is painted behind the device's back

class UnchangedFrameTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WindowHandle window = CreateGameWindow("Vems", 640, 480);
    ASSERT_NE(window, nullptr) << PlatformError();
    ASSERT_TRUE(InitGraphics(window, 640, 480, false)) << PlatformError();
  }

  // The background, then the dot at (x, y), presented; the screen read back.
  std::vector<uint32_t> Frame(int32_t x, int32_t y) {
    BeginScene(graphicsDevice);
    StretchRect(graphicsDevice, background, nullptr, backBuffer, nullptr);
    SpriteBegin(spriteBatch, D3DXSPRITE_ALPHABLEND);
    DrawSpriteFrame(dot, x, y, 0, 1, 1, 1);
    SpriteEnd(spriteBatch);
    EndScene(graphicsDevice);
    Present(graphicsDevice);
    std::vector<uint32_t> screen;
    EXPECT_TRUE(ReadScreen(screen, width, height));
    for (uint32_t& pixel : screen) pixel |= 0xFF000000;
    return screen;
  }

  uint32_t At(const std::vector<uint32_t>& screen, int32_t x, int32_t y) const {
    return screen[static_cast<size_t>(y) * width + x];
  }
  static bool Spoilt(const std::vector<uint32_t>& screen) {
    return std::find(screen.begin(), screen.end(), kSpoilt) != screen.end();
  }

  Surface* background = nullptr;
  Texture* dot = nullptr;
  int32_t width = 0;
  int32_t height = 0;
};

TEST_F(UnchangedFrameTest, EqualFrameIsNotComposedAgainUntilTheScreenLosesIt) {
  background = LoadSurfaceFromImage(WriteSolidBitmap("blue.bmp", 640, 480, kBlue));
  dot = LoadTextureFromImage(WriteTestBitmap("dot.bmp", 1, 1, {kYellow}), kKey);
  ASSERT_NE(background, nullptr);
  ASSERT_NE(dot, nullptr);

  // The first frame, and as after every loss the one after it too (an OpenGL driver may draw the first at
  // a new size into buffers of the old one).
  auto screen = Frame(3, 4);
  EXPECT_EQ(At(screen, 3, 4), kYellow);
  int64_t composed = FramesComposed();
  Frame(3, 4);
  EXPECT_EQ(FramesComposed(), ++composed);

  // The same draws: nothing composed, nothing copied (the screen keeps what was painted on it).
  PaintTestScreen(kSpoilt);
  screen = Frame(3, 4);
  EXPECT_EQ(FramesComposed(), composed);
  EXPECT_TRUE(std::all_of(screen.begin(), screen.end(), [](uint32_t pixel) { return pixel == kSpoilt; }));

  // Lost by an expose: the next frame shows it whole, bars and unchanged rows too.
  PushTestExpose();
  screen = Frame(3, 4);
  EXPECT_EQ(FramesComposed(), ++composed);
  EXPECT_FALSE(Spoilt(screen));
  EXPECT_EQ(At(screen, 3, 4), kYellow);
  EXPECT_EQ(At(screen, 639, 479), kBlue);
  Frame(3, 4);
  EXPECT_EQ(FramesComposed(), ++composed);

  // A dot moved is a new frame; the same again is not.
  screen = Frame(5, 6);
  EXPECT_EQ(FramesComposed(), ++composed);
  EXPECT_EQ(At(screen, 5, 6), kYellow);
  EXPECT_EQ(At(screen, 3, 4), kBlue);
  Frame(5, 6);
  EXPECT_EQ(FramesComposed(), composed);

  // A new size: the picture at a scale of 2 at (10, 20), the dot 2 by 2.
  ResizeGameWindow(1300, 1000);
  PaintTestScreen(kSpoilt);
  screen = Frame(5, 6);
  EXPECT_EQ(FramesComposed(), ++composed);
  ASSERT_EQ(width, 1300);
  EXPECT_FALSE(Spoilt(screen));
  EXPECT_EQ(At(screen, 10 + 11, 20 + 13), kYellow);
  EXPECT_EQ(At(screen, 5, 500), 0xFF000000u);
  Frame(5, 6);
  EXPECT_EQ(FramesComposed(), ++composed);

  // Full screen (the dummy display is 1024 by 768: the picture fills it at 1.6).
  SetTestFullscreen(true);
  PaintTestScreen(kSpoilt);
  screen = Frame(5, 6);
  EXPECT_EQ(FramesComposed(), ++composed);
  ASSERT_EQ(width, 1024);
  EXPECT_FALSE(Spoilt(screen));
  EXPECT_EQ(At(screen, 8, 10), kYellow);  // the centre of picture pixel (5, 6)
  Frame(5, 6);
  Frame(5, 6);
  EXPECT_EQ(FramesComposed(), ++composed);

  // The same draws from a surface whose pixels changed are a new frame.
  ASSERT_EQ(LoadSurfaceFromFile(background, WriteSolidBitmap("red.bmp", 640, 480, kRed).c_str(), 0), D3D_OK);
  screen = Frame(5, 6);
  EXPECT_EQ(FramesComposed(), ++composed);
  EXPECT_EQ(At(screen, 1000, 700), kRed);

  Release(dot);
  Release(background);
}

}  // namespace
