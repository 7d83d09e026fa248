// The graphics stand-ins on SDL's dummy video driver with the software renderer.
// Checked by the pixels that reach the screen: colour key, rectangle copies, whole-pixel and nearest-pixel
// scaling, refused files.
#include <gtest/gtest.h>

#include "platform/graphics.h"
#include "platform/sdl/test_hooks.h"
#include "platform/system.h"
#include "support/bitmap_file.h"
#include "support/non_regular_files.h"

namespace {

constexpr uint32_t kKey = 0xFFFF0080;
constexpr uint32_t kBlue = 0xFF0000FF;

class GraphicsSdlTest : public ::testing::Test {
 protected:
  // One window and device for the whole program, as in the game.
  static void SetUpTestSuite() {
    window = CreateGameWindow("Vems", 640, 480);
    ASSERT_NE(window, nullptr) << PlatformError();
    ASSERT_TRUE(InitGraphics(window, 640, 480, false)) << PlatformError();
  }

  void SetUp() override {
    ASSERT_NE(graphicsDevice, nullptr);
    background = LoadSurfaceFromImage(WriteSolidBitmap("blue.bmp", 640, 480, kBlue));
    ASSERT_NE(background, nullptr);
  }

  void TearDown() override {
    Release(background);
    ResizeGameWindow(640, 480);
  }

  // A frame: the blue background, then draw() inside an alpha-blended sprite batch; returns the screen.
  template <typename Draw>
  std::vector<uint32_t> Frame(Draw draw) {
    BeginScene(graphicsDevice);
    StretchRect(graphicsDevice, background, nullptr, backBuffer, nullptr);
    SpriteBegin(spriteBatch, D3DXSPRITE_ALPHABLEND);
    draw();
    SpriteEnd(spriteBatch);
    EndScene(graphicsDevice);
    Present(graphicsDevice);
    std::vector<uint32_t> screen;
    EXPECT_TRUE(ReadScreen(screen, width, height));
    return screen;
  }

  uint32_t At(const std::vector<uint32_t>& screen, int32_t x, int32_t y) const {
    return screen[static_cast<size_t>(y) * width + x] | 0xFF000000;
  }

  static WindowHandle window;
  Surface* background = nullptr;
  int32_t width = 0;
  int32_t height = 0;
};

WindowHandle GraphicsSdlTest::window = nullptr;

TEST_F(GraphicsSdlTest, DrawsWithTheSoftwareRendererHere) { EXPECT_EQ(RendererName(), "software"); }

// Exactly the key is transparent; a pixel one step off it is drawn as it is.
TEST_F(GraphicsSdlTest, ColourKeyPixelIsInvisibleAndItsNeighbourColourIsDrawn) {
  Texture* sheet = LoadTextureFromImage(WriteTestBitmap("key.bmp", 2, 1, {kKey, 0xFFFF0081}), kKey);
  ASSERT_NE(sheet, nullptr);
  const auto screen = Frame([&] { DrawSpriteFrame(sheet, 100, 50, 0, 2, 1, 1); });
  EXPECT_EQ(At(screen, 100, 50), kBlue);
  EXPECT_EQ(At(screen, 101, 50), 0xFFFF0081u);
  Release(sheet);
}

TEST_F(GraphicsSdlTest, OpaqueSheetCellIsDrawnAtItsPositionUnscaled) {
  std::vector<uint32_t> pixels(4 * 2);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0xFF000000 | static_cast<uint32_t>(0x101010 * (i + 1));
  Texture* sheet = LoadTextureFromImage(WriteTestBitmap("cells.bmp", 4, 2, pixels), kKey);
  ASSERT_NE(sheet, nullptr);
  // Cell 3 of 2x1 cells, 2 per row: the bottom right pair.
  const auto screen = Frame([&] { DrawSpriteFrame(sheet, 10, 20, 3, 2, 1, 2); });
  EXPECT_EQ(At(screen, 10, 20), pixels[6]);
  EXPECT_EQ(At(screen, 11, 20), pixels[7]);
  EXPECT_EQ(At(screen, 12, 20), kBlue);
  EXPECT_EQ(At(screen, 10, 21), kBlue);
  Release(sheet);
}

// A sheet with a transparent pixel in one cell only: its opaque cell and the cell with the hole both draw
// exactly the sheet's pixels, the hole showing what lies below.
TEST_F(GraphicsSdlTest, OpaqueCellsOfATranslucentSheetDrawTheSamePixels) {
  const std::vector<uint32_t> pixels = {0xFF102030, 0xFF405060, kKey, 0xFF708090,
                                        0xFFA0B0C0, 0xFFD0E0F0, 0xFF112233, 0xFF445566};
  Texture* sheet = LoadTextureFromImage(WriteTestBitmap("holed.bmp", 4, 2, pixels), kKey);
  ASSERT_NE(sheet, nullptr);
  const auto screen = Frame([&] {
    DrawSpriteFrame(sheet, 10, 20, 0, 2, 2, 2);  // left cell: opaque
    DrawSpriteFrame(sheet, 30, 20, 1, 2, 2, 2);  // right cell: the hole at its top left
  });
  EXPECT_EQ(At(screen, 10, 20), pixels[0]);
  EXPECT_EQ(At(screen, 11, 20), pixels[1]);
  EXPECT_EQ(At(screen, 10, 21), pixels[4]);
  EXPECT_EQ(At(screen, 11, 21), pixels[5]);
  EXPECT_EQ(At(screen, 30, 20), kBlue);
  EXPECT_EQ(At(screen, 31, 20), pixels[3]);
  EXPECT_EQ(At(screen, 30, 21), pixels[6]);
  EXPECT_EQ(At(screen, 31, 21), pixels[7]);
  EXPECT_EQ(At(screen, 12, 20), kBlue);
  Release(sheet);
}

// Surface to surface in memory, then a window of it onto the frame, both pixel for pixel.
TEST_F(GraphicsSdlTest, RectangleCopiesArePixelForPixel) {
  std::vector<uint32_t> pixels(8 * 8);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0xFF000000 | static_cast<uint32_t>(i * 0x030507);
  Surface* tile = LoadSurfaceFromImage(WriteTestBitmap("tile.bmp", 8, 8, pixels));
  ASSERT_NE(tile, nullptr);
  Surface* big = nullptr;
  ASSERT_EQ(CreateOffscreenPlainSurface(graphicsDevice, 16, 16, &big), D3D_OK);
  for (int32_t ty = 0; ty < 2; ++ty)
    for (int32_t tx = 0; tx < 2; ++tx) {
      const Rect to = MakeRect(tx * 8, ty * 8, tx * 8 + 8, ty * 8 + 8);
      ASSERT_EQ(StretchRect(graphicsDevice, tile, nullptr, big, &to), D3D_OK);
    }
  const Rect from = MakeRect(5, 6, 13, 14);  // straddles all four tiles
  const Rect to = MakeRect(300, 200, 308, 208);
  const auto screen = Frame([&] { StretchRect(graphicsDevice, big, &from, backBuffer, &to); });
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 8; ++x)
      ASSERT_EQ(At(screen, 300 + x, 200 + y), pixels[static_cast<size_t>((6 + y) % 8) * 8 + (5 + x) % 8]) << x << "," << y;
  EXPECT_EQ(At(screen, 299, 200), kBlue);
  EXPECT_EQ(At(screen, 308, 207), kBlue);

  const Rect outside = MakeRect(10, 10, 20, 20);
  EXPECT_TRUE(FAILED(StretchRect(graphicsDevice, big, &outside, backBuffer, &to)));
  Release(big);
  Release(tile);
}

// A larger window shows the picture at the largest whole scale that fits, centred, on black bars.
TEST_F(GraphicsSdlTest, LargerWindowScalesThePictureByWholePixelsCentred) {
  Texture* dot = LoadTextureFromImage(WriteTestBitmap("dot.bmp", 1, 1, {0xFFFFFF00}), kKey);
  ASSERT_NE(dot, nullptr);
  ResizeGameWindow(1300, 1000);  // scale 2: the picture is 1280 x 960 at (10, 20)
  const auto screen = Frame([&] { DrawSpriteFrame(dot, 3, 4, 0, 1, 1, 1); });
  ASSERT_EQ(width, 1300);
  ASSERT_EQ(height, 1000);
  EXPECT_EQ(At(screen, 5, 500), 0xFF000000u);   // left bar
  EXPECT_EQ(At(screen, 650, 10), 0xFF000000u);  // top bar
  EXPECT_EQ(At(screen, 1295, 500), 0xFF000000u);
  EXPECT_EQ(At(screen, 10, 20), kBlue);
  EXPECT_EQ(At(screen, 1289, 979), kBlue);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 2; ++x) EXPECT_EQ(At(screen, 10 + 6 + x, 20 + 8 + y), 0xFFFFFF00u);  // no blur
  EXPECT_EQ(At(screen, 10 + 8, 20 + 8), kBlue);
  EXPECT_EQ(At(screen, 10 + 5, 20 + 8), kBlue);
  Release(dot);
}

// Between whole scales, and below the picture's own size, every screen pixel of the picture is the
// picture pixel under its centre (crisp, nothing blended), centred on black bars.
TEST_F(GraphicsSdlTest, OtherWindowSizesShowEveryPixelAsTheNearestPicturePixel) {
  std::vector<uint32_t> pattern(640 * 480);
  for (uint32_t y = 0; y < 480; ++y)
    for (uint32_t x = 0; x < 640; ++x)
      pattern[y * 640 + x] = 0xFF000000 | (x * 7 & 0xFF) << 16 | (x << 6 & 0xFF00) | (y & 0xFF);
  Surface* picture = LoadSurfaceFromImage(WriteTestBitmap("pattern.bmp", 640, 480, pattern));
  ASSERT_NE(picture, nullptr);
  struct Size {
    int32_t width, height, placeX, placeY, placeWidth, placeHeight;
  };
  for (const Size& size : {Size{1366, 768, 171, 0, 1024, 768}, Size{400, 350, 0, 25, 400, 300}}) {
    ResizeGameWindow(size.width, size.height);
    const auto screen = Frame([&] { StretchRect(graphicsDevice, picture, nullptr, backBuffer, nullptr); });
    ASSERT_EQ(width, size.width);
    ASSERT_EQ(height, size.height);
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        const int32_t px = x - size.placeX, py = y - size.placeY;
        const bool inside = px >= 0 && py >= 0 && px < size.placeWidth && py < size.placeHeight;
        const uint32_t expected =
            inside ? pattern[static_cast<size_t>((2 * py + 1) * 480 / (2 * size.placeHeight)) * 640 +
                             static_cast<size_t>((2 * px + 1) * 640 / (2 * size.placeWidth))]
                   : 0xFF000000u;
        ASSERT_EQ(At(screen, x, y), expected) << size.width << "x" << size.height << " at " << x << "," << y;
      }
    }
  }
  Release(picture);
}

// Anything but a regular file (a named pipe would block in open() for good) counts as missing.
TEST_F(GraphicsSdlTest, MissingUndecodableAndNonRegularFilesGiveNull) {
  const std::string good = WriteSolidBitmap("good.bmp", 20, 10, kBlue);
  std::vector<std::string> files = {TestFilePath("absent.bmp"), WriteTestFile("junk.bmp", "BM junk"),
                                    WriteTestFile("short.bmp", FileHead(good, 30))};
  for (const NonRegularFile& file : NonRegularFiles()) files.push_back(file.path);
  for (const std::string& file : files) {
    EXPECT_EQ(LoadSurfaceFromImage(file), nullptr) << file;
    EXPECT_EQ(LoadTextureFromImage(file, kKey), nullptr) << file;
  }
}

// A header claiming a huge picture must be refused before anything is allocated for it. A run-length
// file is the case SDL itself would decode: one end-of-picture code makes every pixel of it.
TEST_F(GraphicsSdlTest, BitmapClaimingMorePixelsThanWeAcceptIsRefused) {
  std::string bytes(14 + 40 + 8, '\0');
  auto put32 = [&bytes](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
  };
  bytes[0] = 'B';
  bytes[1] = 'M';
  put32(2, 64);
  put32(10, 62);
  put32(14, 40);
  put32(18, 5000);
  put32(22, 5000);
  bytes[26] = 1;
  bytes[28] = 8;
  put32(30, 1);  // 8-bit run-length coded
  put32(46, 2);  // two palette entries
  bytes += std::string("\0\1", 2);
  const std::string huge = WriteTestFile("huge_rle.bmp", bytes);
  EXPECT_EQ(LoadSurfaceFromImage(huge), nullptr);
  EXPECT_EQ(LoadTextureFromImage(huge, kKey), nullptr);
}

}  // namespace
