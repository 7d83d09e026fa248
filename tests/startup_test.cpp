// Start-up: every asset loaded in order, the background tiled 2 by 2, and each failure's message.
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/fake/fake_audio.h"
#include "platform/fake/fake_graphics.h"
#include "platform/fake/fake_system.h"
#include "support/game_start.h"
#include "world/startup.h"
#include "world/world.h"

namespace {

// A file of the start-up in loading order, where it goes (textures only) and the box the player sees
// when it is missing: none for an empty text; owned by the game window for the sounds.
struct AssetRow {
  const char* file;
  Texture* const* texture;
  const char* message;
};

const std::vector<AssetRow> kAssets = {
    {"Vems-BG-Cyan.bmp", nullptr, ""},
    {"vems-blue.bmp", &blueTexture, "Vems-Blue"},
    {"vems-sparkle-blue.bmp", &sparkleTexture, "Sparkle"},
    {"vems-green.bmp", &greenTexture, "Vems-Green"},
    {"vemsdoor.bmp", &doorTexture, "Vems-Door"},
    {"vemsladder.bmp", &ladderTexture, "Ladder"},
    {"vemskey.bmp", &keyTexture, "Key"},
    {"vems-keyman.bmp", &keymanTexture, "Key"},
    {"vems-rock.bmp", &rockTexture, "Rock"},
    {"VemsPaper-Airplane.bmp", &paperTexture, "Paper"},
    {"vems-scissors.bmp", &scissorsTexture, "Scissors"},
    {"vems-title.bmp", &titleTexture, "Title"},
    {"vems-btn-play.bmp", &playButtonTexture, "[Play]"},
    {"vems-btn-setup.bmp", &setupButtonTexture, "[Setup]"},
    {"vems-btn-credits.bmp", &creditsButtonTexture, "Credits"},
    {"vems-btn-exit.bmp", &exitButtonTexture, "Exit"},
    {"vems-arrow.bmp", &arrowTexture, ""},
    {"vems-walls.bmp", &wallsTexture, ""},
    {"step.wav", nullptr, "Error loading step.wav"},
    {"bounce.wav", nullptr, "Error loading bounce.wav"},
};

using StartupTest = GameTest;

TEST_F(StartupTest, AllFilesPresentLoadsEveryAssetInItsVariable) {
  WorkingDirectory inData(DataFile(""));
  ASSERT_TRUE(InitGame(FakeWindow()));
  EXPECT_TRUE(FakeMessageBoxes().empty());
  for (const AssetRow& row : kAssets) {
    if (row.texture == nullptr) continue;
    SCOPED_TRACE(row.file);
    EXPECT_EQ(FakeTextureName(*row.texture), row.file);
  }
  EXPECT_NE(backgroundSurface, nullptr);
  EXPECT_NE(stepSound, nullptr);
  EXPECT_NE(bounceSound, nullptr);
  EXPECT_NE(stepSound, bounceSound);
  EXPECT_FLOAT_EQ(sineTable[90], 1.0f);  // the airplane's tables are filled last
}

TEST_F(StartupTest, BackgroundPictureIsCopiedIntoEachQuarter) {
  WorkingDirectory inData(DataFile(""));
  ASSERT_TRUE(InitGame(FakeWindow()));
  EXPECT_EQ(FakeSurfaceSize(backgroundSurface).width, 1280);
  EXPECT_EQ(FakeSurfaceSize(backgroundSurface).height, 960);

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

TEST_F(StartupTest, EachMissingFileStopsTheStartUpThereWithItsMessage) {
  DataCopy data;
  WorkingDirectory inCopy(data.path());
  for (size_t i = 0; i < kAssets.size(); ++i) {
    const AssetRow& row = kAssets[i];
    SCOPED_TRACE(row.file);
    ResetAllState();
    const std::string hidden = std::string(row.file) + ".away";
    std::filesystem::rename(row.file, hidden);
    testing::internal::CaptureStderr();
    const bool started = InitGame(FakeWindow());
    const std::string said = testing::internal::GetCapturedStderr();
    std::filesystem::rename(hidden, row.file);

    EXPECT_FALSE(started);
    // Whoever started the game learns which file, where it was looked for, and how to start instead.
    EXPECT_NE(said.find(std::string("\"") + row.file + "\" is not in the working folder " + data.path()),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("launcher \"vems\""), std::string::npos) << said;
    // Loading stops at the failure: sheets before it are there, it and the ones after are not.
    for (size_t j = 0; j < kAssets.size(); ++j) {
      if (kAssets[j].texture != nullptr) {
        EXPECT_EQ(*kAssets[j].texture == nullptr, j >= i) << kAssets[j].file;
      }
    }
    const std::vector<MessageBoxRecord>& boxes = FakeMessageBoxes();
    if (row.message[0] == '\0') {
      EXPECT_TRUE(boxes.empty());
      continue;
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, row.message);
    EXPECT_EQ(boxes[0].caption, "Vems");
    const bool sound = row.texture == nullptr;
    EXPECT_EQ(boxes[0].owner, sound ? FakeWindow() : nullptr);
    EXPECT_EQ(boxes[0].style, sound ? MB_OK : MB_OK | MB_ICONEXCLAMATION);
  }
}

TEST_F(StartupTest, DamagedOrNonRegularFileIsToldApartFromAMissingOne) {
  DataCopy data;
  WorkingDirectory inCopy(data.path());
  std::filesystem::resize_file("vems-rock.bmp", 10);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(InitGame(FakeWindow()));
  std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("\"vems-rock.bmp\" in the working folder " + data.path() + " is damaged"), std::string::npos)
      << said;
  ASSERT_EQ(FakeMessageBoxes().size(), 1u);
  EXPECT_EQ(FakeMessageBoxes()[0].text, "Rock");

  // A named pipe under the name is no damaged file: it is never opened at all.
  ResetAllState();
  std::filesystem::remove("vems-rock.bmp");
  ASSERT_EQ(mkfifo("vems-rock.bmp", 0600), 0);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(InitGame(FakeWindow()));
  said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("\"vems-rock.bmp\" in the working folder " + data.path() + " is not a regular file"),
            std::string::npos)
      << said;
  ASSERT_EQ(FakeMessageBoxes().size(), 1u);
  EXPECT_EQ(FakeMessageBoxes()[0].text, "Rock");
}

TEST_F(StartupTest, NoSoundDeviceIsToldInTheGameWindow) {
  WorkingDirectory inData(DataFile(""));
  SetFakeAudioDeviceMissing(true);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(InitGame(FakeWindow()));
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("SDL_AUDIODRIVER=dummy"), std::string::npos) << said;  // how to play without a card
  ASSERT_EQ(FakeMessageBoxes().size(), 1u);
  const MessageBoxRecord& box = FakeMessageBoxes()[0];
  EXPECT_EQ(box.text, "Error initializing DirectSound");
  EXPECT_EQ(box.caption, "Vems");
  EXPECT_EQ(box.owner, FakeWindow());
  EXPECT_EQ(box.style, MB_OK);
  EXPECT_EQ(stepSound, nullptr);
}

TEST_F(StartupTest, NoGraphicsDeviceEndsTheStartUpAtOnce) {
  WorkingDirectory inData(DataFile(""));
  FakeFailDeviceCreation(true);
  testing::internal::CaptureStderr();
  const bool started = InitGame(FakeWindow());
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(started);
  EXPECT_NE(said.find("graphics"), std::string::npos) << said;
  EXPECT_NE(said.find("vems: " + GraphicsAdvice() + "\n"), std::string::npos) << said;
  EXPECT_EQ(backgroundSurface, nullptr);
  EXPECT_EQ(blueTexture, nullptr);
  EXPECT_TRUE(FakeMessageBoxes().empty());
}

}  // namespace
