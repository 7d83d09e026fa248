// Start-up: every asset loaded in order, the background tiled 2 by 2, and each failure's message.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/fake/fake_audio.h"
#include "platform/fake/fake_graphics.h"
#include "platform/fake/fake_system.h"
#include "platform/graphics.h"
#include "support/game_start.h"
#include "world/startup.h"
#include "world/world.h"

namespace {

// A sheet as the drawing code expects it: frame size and frames per row.
struct SheetLayout {
  Texture* const* texture;
  const char* file;
  int frameWidth;
  int frameHeight;
  int columns;
};

// In the start-up's loading order.
const std::vector<SheetLayout> kLayouts = {
    {&blueTexture, "vems-blue.bmp", 32, 32, 9},
    {&sparkleTexture, "vems-sparkle-blue.bmp", 3, 3, 4},
    {&greenTexture, "vems-green.bmp", 32, 32, 5},
    {&doorTexture, "vemsdoor.bmp", 32, 32, 2},
    {&ladderTexture, "vemsladder.bmp", 32, 8, 8},
    {&keyTexture, "vemskey.bmp", 32, 32, 16},
    {&keymanTexture, "vems-keyman.bmp", 32, 32, 16},
    {&rockTexture, "vems-rock.bmp", 32, 32, 16},
    {&paperTexture, "VemsPaper-Airplane.bmp", 32, 32, 18},
    {&scissorsTexture, "vems-scissors.bmp", 32, 32, 8},
    {&titleTexture, "vems-title.bmp", 486, 186, 1},
    {&playButtonTexture, "vems-btn-play.bmp", 118, 34, 1},
    {&setupButtonTexture, "vems-btn-setup.bmp", 138, 34, 1},
    {&creditsButtonTexture, "vems-btn-credits.bmp", 168, 34, 1},
    {&exitButtonTexture, "vems-btn-exit.bmp", 108, 34, 1},
    {&arrowTexture, "vems-arrow.bmp", 16, 16, 1},
    {&wallsTexture, "vems-walls.bmp", 32, 32, 16},
};

// A missing file, and the one box the player should see for it (empty text: no box at all).
struct FailureRow {
  const char* file;
  const char* text;
  bool ownedByWindow;  // sound failures belong to the game window; missing pictures have no owner
};

const std::vector<FailureRow> kFailures = {
    {"Vems-BG-Cyan.bmp", "", false},
    {"vems-blue.bmp", "Vems-Blue", false},
    {"vems-sparkle-blue.bmp", "Sparkle", false},
    {"vems-green.bmp", "Vems-Green", false},
    {"vemsdoor.bmp", "Vems-Door", false},
    {"vemsladder.bmp", "Ladder", false},
    {"vemskey.bmp", "Key", false},
    {"vems-keyman.bmp", "Key", false},
    {"vems-rock.bmp", "Rock", false},
    {"VemsPaper-Airplane.bmp", "Paper", false},
    {"vems-scissors.bmp", "Scissors", false},
    {"vems-title.bmp", "Title", false},
    {"vems-btn-play.bmp", "[Play]", false},
    {"vems-btn-setup.bmp", "[Setup]", false},
    {"vems-btn-credits.bmp", "Credits", false},
    {"vems-btn-exit.bmp", "Exit", false},
    {"vems-arrow.bmp", "", false},
    {"vems-walls.bmp", "", false},
    {"step.wav", "Error loading step.wav", true},
    {"bounce.wav", "Error loading bounce.wav", true},
};

using StartupTest = GameTest;

TEST_F(StartupTest, AllFilesPresentLoadsEveryAssetInItsVariable) {
  WorkingDirectory inData(DataFile(""));
  ASSERT_TRUE(InitGame(FakeWindow()));
  EXPECT_TRUE(FakeMessageBoxes().empty());
  for (const SheetLayout& sheet : kLayouts) {
    SCOPED_TRACE(sheet.file);
    ASSERT_NE(*sheet.texture, nullptr);
    EXPECT_EQ(FakeTextureName(*sheet.texture), sheet.file);
  }
  EXPECT_NE(backgroundSurface, nullptr);
  EXPECT_NE(stepSound, nullptr);
  EXPECT_NE(bounceSound, nullptr);
  EXPECT_NE(stepSound, bounceSound);
  // The airplane's tables are filled last: cosine of 0 degrees is 1.
  EXPECT_FLOAT_EQ(cosineTable[0], 1.0f);
  EXPECT_FLOAT_EQ(sineTable[90], 1.0f);
}

TEST_F(StartupTest, EachSheetHoldsWholeRowsOfItsFrames) {
  WorkingDirectory inData(DataFile(""));
  ASSERT_TRUE(InitGame(FakeWindow()));
  for (const SheetLayout& sheet : kLayouts) {
    SCOPED_TRACE(sheet.file);
    const ImageInfo size = FakeTextureSize(*sheet.texture);
    EXPECT_EQ(size.width, sheet.frameWidth * sheet.columns);
    EXPECT_GE(size.height, sheet.frameHeight);
    EXPECT_EQ(size.height % sheet.frameHeight, 0);
  }
  // The buttons stack exactly two looks, normal above highlighted.
  EXPECT_EQ(FakeTextureSize(playButtonTexture).height, 68);
  EXPECT_EQ(FakeTextureSize(exitButtonTexture).height, 68);
}

TEST_F(StartupTest, BackgroundPictureIsCopiedIntoEachQuarter) {
  WorkingDirectory inData(DataFile(""));
  ASSERT_TRUE(InitGame(FakeWindow()));
  const ImageInfo size = FakeSurfaceSize(backgroundSurface);
  EXPECT_EQ(size.width, 1280);
  EXPECT_EQ(size.height, 960);

  const std::vector<CopyRecord>& copies = FakeCopies();
  ASSERT_EQ(copies.size(), 4u);
  const Rect quarters[] = {MakeRect(0, 0, 640, 480), MakeRect(0, 480, 640, 960), MakeRect(640, 0, 1280, 480),
                           MakeRect(640, 480, 1280, 960)};
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(copies[i].source, copies[0].source);  // one picture, copied four times
    EXPECT_NE(copies[i].source, backgroundSurface);
    EXPECT_EQ(copies[i].sourceRect, MakeRect(0, 0, 640, 480));
    EXPECT_EQ(copies[i].target, backgroundSurface);
    EXPECT_EQ(copies[i].targetRect, quarters[i]);
  }
}

TEST_F(StartupTest, EachMissingFileStopsTheStartUpWithItsMessage) {
  DataCopy data;
  WorkingDirectory inCopy(data.path());
  for (const FailureRow& row : kFailures) {
    SCOPED_TRACE(row.file);
    ResetAllState();
    const std::string hidden = std::string(row.file) + ".away";
    std::filesystem::rename(row.file, hidden);
    const bool started = InitGame(FakeWindow());
    std::filesystem::rename(hidden, row.file);

    EXPECT_FALSE(started);
    const std::vector<MessageBoxRecord>& boxes = FakeMessageBoxes();
    if (row.text[0] == '\0') {
      EXPECT_TRUE(boxes.empty());
      continue;
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, row.text);
    EXPECT_EQ(boxes[0].caption, "Vems");
    if (row.ownedByWindow) {
      EXPECT_EQ(boxes[0].owner, FakeWindow());
      EXPECT_EQ(boxes[0].style, MB_OK);
    } else {
      EXPECT_EQ(boxes[0].owner, nullptr);
      EXPECT_EQ(boxes[0].style, MB_OK | MB_ICONEXCLAMATION);
    }
  }
}

TEST_F(StartupTest, NoSoundDeviceIsToldInTheGameWindow) {
  WorkingDirectory inData(DataFile(""));
  SetFakeAudioDeviceMissing(true);
  EXPECT_FALSE(InitGame(FakeWindow()));
  ASSERT_EQ(FakeMessageBoxes().size(), 1u);
  const MessageBoxRecord& box = FakeMessageBoxes()[0];
  EXPECT_EQ(box.text, "Error initializing DirectSound");
  EXPECT_EQ(box.caption, "Vems");
  EXPECT_EQ(box.owner, FakeWindow());
  EXPECT_EQ(box.style, MB_OK);
  EXPECT_NE(wallsTexture, nullptr);  // every picture came before the sound
  EXPECT_EQ(stepSound, nullptr);
}

TEST_F(StartupTest, LoadingStopsAtTheFirstMissingSheet) {
  DataCopy data;
  WorkingDirectory inCopy(data.path());
  std::filesystem::remove("vems-green.bmp");
  EXPECT_FALSE(InitGame(FakeWindow()));
  EXPECT_NE(blueTexture, nullptr);
  EXPECT_NE(sparkleTexture, nullptr);
  EXPECT_EQ(greenTexture, nullptr);
  EXPECT_EQ(doorTexture, nullptr);
  EXPECT_EQ(wallsTexture, nullptr);
  EXPECT_EQ(stepSound, nullptr);

  // The walls come last of the sheets: everything before them loaded, then a silent false.
  ResetAllState();
  std::filesystem::copy_file(DataFile("vems-green.bmp"), "vems-green.bmp");
  std::filesystem::remove("vems-walls.bmp");
  EXPECT_FALSE(InitGame(FakeWindow()));
  EXPECT_NE(arrowTexture, nullptr);
  EXPECT_EQ(wallsTexture, nullptr);
  EXPECT_TRUE(FakeMessageBoxes().empty());
  EXPECT_EQ(soundSystem, nullptr);
}

TEST_F(StartupTest, NoGraphicsDeviceEndsTheStartUpAtOnce) {
  WorkingDirectory inData(DataFile(""));
  FakeFailDeviceCreation(true);
  testing::internal::CaptureStderr();
  const bool started = InitGame(FakeWindow());
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(started);
  EXPECT_NE(said.find("graphics"), std::string::npos) << said;
  EXPECT_EQ(backgroundSurface, nullptr);
  EXPECT_EQ(blueTexture, nullptr);
  EXPECT_TRUE(FakeMessageBoxes().empty());
  EXPECT_TRUE(FakeCopies().empty());
}

}  // namespace
