// The graphics layer over the fake device: device start, sheet cells, and loaders that refuse bad files.
#include "platform/graphics.h"

#include "platform/fake/fake_graphics.h"
#include "platform/fake/fake_system.h"
#include "support/bitmap_file.h"
#include "support/fixture.h"

namespace {

class GraphicsTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(InitGraphics(FakeWindow(), 640, 480, true));
    sheet = LoadTextureFromImage(WriteSolidBitmap("sheet.bmp", 160, 80, 0xFF102030), 0xFFFF0080);
    ASSERT_NE(sheet, nullptr);
    SpriteBegin(spriteBatch, D3DXSPRITE_ALPHABLEND);
  }

  // Source rectangle of the one cell drawn.
  Rect DrawnCell(int32_t frame, int32_t frameWidth, int32_t frameHeight, int32_t columns) {
    FakeClearLog();
    DrawSpriteFrame(sheet, 7, 9, frame, frameWidth, frameHeight, columns);
    EXPECT_EQ(FakeDraws().size(), 1u);
    return FakeDraws().empty() ? Rect() : FakeDraws()[0].source;
  }

  Texture* sheet = nullptr;
};

TEST_F(GraphicsTest, CellsAreNumberedRowByRowFromTheTopLeft) {
  EXPECT_EQ(DrawnCell(5, 10, 20, 4), MakeRect(10, 20, 20, 40));
  EXPECT_EQ(DrawnCell(1, 118, 34, 1), MakeRect(0, 34, 118, 68));  // one column: frames stacked downwards
  EXPECT_EQ(DrawnCell(15, 32, 32, 16), MakeRect(480, 0, 512, 32));  // one row: side by side
  EXPECT_EQ(DrawnCell(16, 32, 32, 16), MakeRect(0, 32, 32, 64));
  for (int32_t columns : {1, 3, 16}) EXPECT_EQ(DrawnCell(0, 32, 8, columns), MakeRect(0, 0, 32, 8));
}

TEST_F(GraphicsTest, CellIsDrawnUnscaledAtItsPositionFromItsSheet) {
  DrawSpriteFrame(sheet, -12, 470, 6, 32, 32, 4);
  ASSERT_EQ(FakeDraws().size(), 1u);
  const DrawRecord& draw = FakeDraws()[0];
  EXPECT_EQ(draw.texture, sheet);
  EXPECT_EQ(draw.x, -12.0f);
  EXPECT_EQ(draw.y, 470.0f);
  EXPECT_NE(draw.sheet.find("sheet.bmp"), std::string::npos);
  EXPECT_EQ(FakeFrameOf(draw, 32, 32, 4), 6);
}

TEST_F(GraphicsTest, SheetWithoutColumnsOrNegativeCellDrawsNothing) {
  DrawSpriteFrame(sheet, 0, 0, 3, 32, 32, 0);
  DrawSpriteFrame(sheet, 0, 0, -1, 32, 32, 4);
  EXPECT_TRUE(FakeDraws().empty());
}

TEST_F(GraphicsTest, LoadersRefuseMissingAndDamagedFilesAndMakeNothing) {
  const std::string good = WriteSolidBitmap("good.bmp", 20, 10, 0xFF00FF00);
  const std::string damaged[] = {
      TestFilePath("no-such-file.bmp"),
      WriteTestFile("text.bmp", "this is not a picture"),
      WriteTestFile("truncated.bmp", FileHead(good, 54 + 3 * 60)),  // rows cut short
      WriteTestFile("header-only.bmp", FileHead(good, 20)),
  };
  const int surfaces = FakeLiveSurfaces();
  const int textures = FakeLiveTextures();
  for (const std::string& file : damaged) {
    EXPECT_EQ(LoadSurfaceFromImage(file), nullptr) << file;
    EXPECT_EQ(LoadTextureFromImage(file, 0xFFFF0080), nullptr) << file;
  }
  EXPECT_EQ(FakeLiveSurfaces(), surfaces);
  EXPECT_EQ(FakeLiveTextures(), textures);
}

TEST_F(GraphicsTest, LoadedImagesHaveTheFilesOwnSize) {
  Surface* surface = LoadSurfaceFromImage(WriteSolidBitmap("wide.bmp", 640, 480, 0xFF000080));
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(FakeSurfaceSize(surface).width, 640);
  EXPECT_EQ(FakeSurfaceSize(surface).height, 480);
  EXPECT_EQ(FakeTextureSize(sheet).width, 160);
  EXPECT_EQ(FakeTextureSize(sheet).height, 80);
}

TEST(GraphicsStartTest, DeviceIsWindowedExactlyWhenNotFullScreen) {
  ResetAllState();
  ASSERT_TRUE(InitGraphics(FakeWindow(), 640, 480, false));
  EXPECT_TRUE(FakeDeviceParameters().windowed);
  ResetAllState();
  ASSERT_TRUE(InitGraphics(FakeWindow(), 640, 480, true));
  const PresentParameters full = FakeDeviceParameters();
  EXPECT_FALSE(full.windowed);
  EXPECT_EQ(full.backBufferWidth, 640);
  EXPECT_EQ(full.backBufferHeight, 480);
  EXPECT_EQ(full.deviceWindow, FakeWindow());
  EXPECT_NE(backBuffer, nullptr);
  EXPECT_NE(spriteBatch, nullptr);
}

TEST(GraphicsStartTest, NoDeviceMeansFalse) {
  ResetAllState();
  FakeFailDeviceCreation(true);
  EXPECT_FALSE(InitGraphics(FakeWindow(), 640, 480, true));
  EXPECT_EQ(graphicsDevice, nullptr);
}

}  // namespace
