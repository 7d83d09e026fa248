// Random play through the real frame for thousands of frames: arrows (sometimes held for seconds), the
// kind keys, clicks anywhere, a pad's stick, Escape to the title and back by its buttons, the clock at
// about 60 frames a second. After every frame the world must still be whole.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "game/game.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_graphics.h"
#include "platform/fake/fake_input.h"
#include "platform/fake/fake_system.h"
#include "platform/input.h"
#include "support/game_start.h"
#include "world/world.h"

namespace {

// scripts/soak runs the same test longer, and with other seeds, through these.
int EnvironmentNumber(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
}

bool Finite(const Vector2& v) { return std::isfinite(v.x) && std::isfinite(v.y); }

// What must hold after any frame; empty when it does, else what broke.
std::string BrokenRule() {
  std::ostringstream broken;
  if (gameState != Title && gameState != Playing) broken << "gameState " << gameState << "; ";
  if (objectCount < 0 || objectCount > MAX_OBJECTS) broken << "objectCount " << objectCount << "; ";
  // A possession names one of the level's objects; a load always places the creature anew and leaves none.
  if (player.possessedIndex != -1 && (player.possessedIndex < 0 || player.possessedIndex >= objectCount))
    broken << "possessedIndex " << player.possessedIndex << " of " << objectCount << "; ";
  if (!Finite(player.position) || !Finite(player.velocity)) broken << "player off the numbers; ";
  for (int i = 0; i < objectCount && i < MAX_OBJECTS; ++i)
    if (!Finite(objects[i].position) || !Finite(objects[i].velocity)) broken << "object " << i << " off the numbers; ";
  return broken.str();
}

// How much of the game the random play reached, so a soak that never left the title cannot pass.
struct Reached {
  int playingFrames = 0;
  int possessions = 0;
  int escapesToTitle = 0;
  int kindChanges = 0;
};

class SoakTest : public StartedGameTest {
 protected:
  // The shipped first level keeps its objects out of sight at the start, where random play seldom goes;
  // a level with every kind on its first screen stands in for it, so the clicks find objects to take.
  void SetUp() override {
    StartedGameTest::SetUp();
    std::filesystem::copy_file(TestFile("levels/example.vem"), data_.path() + "/level1.vem",
                               std::filesystem::copy_options::overwrite_existing);
    inData_ = std::make_unique<WorkingDirectory>(data_.path());
  }

  void TearDown() override {
    inData_.reset();
    StartedGameTest::TearDown();
  }

  int Random(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }
  bool Chance(int perMille) { return Random(1000) < perMille; }

  // Arrows: mostly short taps and strolls, now and then held for up to ten seconds.
  void ChooseArrows() {
    if (arrowFrames_-- > 0) return;
    const int arrows = Random(16);
    FakeSetKey(DIK_LEFT, arrows & 1);
    FakeSetKey(DIK_RIGHT, arrows & 2);
    FakeSetKey(DIK_UP, arrows & 4);
    FakeSetKey(DIK_DOWN, arrows & 8);
    arrowFrames_ = Chance(100) ? 60 + Random(540) : 1 + Random(20);
  }

  // A kind key for one frame now and then.
  void ChooseKindKey() {
    constexpr int32_t kindKeys[] = {DIK_3, DIK_4, DIK_5, DIK_6};
    for (int32_t key : kindKeys) FakeSetKey(key, false);
    if (Chance(15)) {
      FakeSetKey(kindKeys[Random(4)], true);
      ++reached_.kindChanges;
    }
  }

  // Anywhere on screen but the title's Exit button (quitting ends the session; nothing follows it).
  void ClickAnywhere() {
    int x, y;
    do {
      x = Random(640);
      y = Random(480);
    } while (gameState == Title && x >= 373 && x < 481 && y >= 390 && y < 424);
    MoveCursorTo(x, y);
    FakeSetMouseButton(0, true);
  }

  // On the title: back to play by Play, Setup or Credits, or a stray click.
  void ChooseOnTitle() {
    if (!Chance(60)) return;
    switch (Random(4)) {
      case 0: MoveCursorTo(154 + Random(118), 316 + Random(34)); break;  // Play: level 1 afresh
      case 1: MoveCursorTo(144 + Random(138), 390 + Random(34)); break;  // Setup: the level as it is
      case 2: MoveCursorTo(343 + Random(168), 316 + Random(34)); break;  // Credits: the same
      case 3: ClickAnywhere(); return;
    }
    FakeSetMouseButton(0, true);
  }

  // A click on one of the level's objects when it is on screen (stray clicks seldom hit one).
  void ClickAnObject() {
    if (objectCount <= 0) return;
    const GameObject& o = objects[Random(objectCount)];
    const int x = static_cast<int>(o.position.x - camera.x) + (o.bounds.left + o.bounds.right) / 2;
    const int y = static_cast<int>(o.position.y - camera.y) + (o.bounds.top + o.bounds.bottom) / 2;
    if (x < 0 || x >= 640 || y < 0 || y >= 480) return;
    MoveCursorTo(x, y);
    FakeSetMouseButton(0, true);
  }

  // In play: clicks to possess and leave, the mouse wandering, a pad's stick, and Escape to the title.
  void ChooseInPlay() {
    if (Chance(40)) ClickAnObject();
    else if (Chance(30)) ClickAnywhere();
    else if (Chance(30)) FakeMoveMouse(Random(201) - 100, Random(201) - 100);
    if (Chance(5)) {
      GamepadState pad{};
      pad.sThumbLX = static_cast<int16_t>(Random(65536) - 32768);
      pad.sThumbLY = static_cast<int16_t>(Random(65536) - 32768);
      FakeSetPad(0, pad, Chance(700));
    }
    if (Chance(4)) {
      // The play frame waits for Escape to be let go; it is, after a few live reads.
      FakeSetLiveEscape(true);
      FakeReleaseLiveEscapeAfter(1 + Random(4));
      ++reached_.escapesToTitle;
    }
  }

  // One frame of random input, the frame, the clock; false (with the reason recorded) when a rule broke.
  bool SoakFrame(int frame) {
    FakeSetMouseButton(0, false);
    ChooseArrows();
    ChooseKindKey();
    if (gameState == Title) ChooseOnTitle();
    else ChooseInPlay();

    const bool possessing = player.possessedIndex != -1;
    FakeClearLog();  // the fake keeps every draw; a long run would fill it
    Frame();
    AdvanceTickCount(frame % 3 == 0 ? 16 : 17);

    if (gameState == Playing) ++reached_.playingFrames;
    if (!possessing && player.possessedIndex != -1) ++reached_.possessions;
    broken_ = BrokenRule();
    return broken_.empty();
  }

  DataCopy data_;
  std::unique_ptr<WorkingDirectory> inData_;
  std::mt19937 random_{static_cast<std::mt19937::result_type>(EnvironmentNumber("VEMS_SOAK_SEED", 1207))};
  int arrowFrames_ = 0;
  Reached reached_;
  std::string broken_;
};

TEST_F(SoakTest, RandomPlayKeepsTheWorldWhole) {
  const int frames = EnvironmentNumber("VEMS_SOAK_FRAMES", 10000);
  for (int frame = 0; frame < frames; ++frame)
    ASSERT_TRUE(SoakFrame(frame)) << "frame " << frame << ": " << broken_;

  std::printf("soak: %d frames: %d in play, %d possessions, %d kind keys, %d escapes to the title\n", frames,
              reached_.playingFrames, reached_.possessions, reached_.kindChanges, reached_.escapesToTitle);
  // The run really played: most of it in a level, objects taken, kinds changed, the title visited.
  EXPECT_GT(reached_.playingFrames, frames / 2);
  EXPECT_GT(reached_.possessions, frames / 1000);
  EXPECT_GT(reached_.kindChanges, frames / 1000);
  EXPECT_GT(reached_.escapesToTitle, 0);
  EXPECT_EQ(FakePendingMessages(), 0) << "something asked the game to quit";
}

}  // namespace
