// Restarting the level in play with R: the level file last loaded comes back as loaded, once per press.
#include <vector>

#include "game/game.h"
#include "platform/fake/fake_audio.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_input.h"
#include "platform/input.h"
#include "support/game_start.h"
#include "world/startup.h"
#include "world/world.h"

namespace {

// The world's objects, the body under control and the view.
struct World {
  std::vector<GameObject> slots;
  GameObject body;
  Vector2 view;
};

World Capture() { return World{std::vector<GameObject>(objects, objects + objectCount), player, camera}; }

// What a load sets. Animation frames are left out: a load keeps them as they were (a rolled rock shows its
// turn), and the keys take a step in the frame's drawing.
bool SameObject(const GameObject& a, const GameObject& b) {
  return a.type == b.type && a.position == b.position && a.velocity == b.velocity && a.hidden == b.hidden &&
         a.possessedIndex == b.possessedIndex && a.bounds == b.bounds;
}

bool Same(const World& a, const World& b) {
  if (a.slots.size() != b.slots.size() || !SameObject(a.body, b.body) || a.view != b.view) return false;
  for (size_t i = 0; i < a.slots.size(); ++i)
    if (!SameObject(a.slots[i], b.slots[i])) return false;
  return true;
}

class RestartTest : public StartedGameTest {
 protected:
  void Click(int x, int y) {
    MoveCursorTo(x, y);
    FakeSetMouseButton(0, true);
    Frame();
    FakeSetMouseButton(0, false);
  }
  // Frames in which objects take their steps.
  void Hold(int key, int frames) {
    FakeSetKey(key, true);
    for (int i = 0; i < frames; ++i) {
      AdvanceTickCount(40);
      Frame();
    }
    FakeSetKey(key, false);
  }
  // A frame with R held: the clock stands still, so nothing steps after the load.
  void FrameWithR() {
    FakeSetKey(DIK_R, true);
    Frame();
  }
};

TEST_F(RestartTest, RPutsTheFirstLevelBackAsLoadedOncePerPressAndNothingOnTheTitle) {
  FakeSetKey(DIK_R, true);
  Frame();
  EXPECT_EQ(gameState, Title);
  EXPECT_EQ(loadedLevelFile, "level2.vem");
  FakeSetKey(DIK_R, false);

  Click(200, 330);  // Play
  ASSERT_EQ(gameState, Playing);
  const World loaded = Capture();
  Hold(DIK_5, 1);  // the creature turned into a rock in its room
  ASSERT_EQ(player.type, Rock);
  Hold(DIK_RIGHT, 20);
  ASSERT_FALSE(Same(loaded, Capture()));

  const int sounds = FakePlayCount(stepSound);
  FrameWithR();
  EXPECT_TRUE(Same(loaded, Capture()));
  EXPECT_EQ(player.possessedIndex, -1);
  EXPECT_EQ(FakePlayCount(stepSound), sounds + 1);

  // Still held: the level plays on instead of restarting in every frame.
  FakeSetKey(DIK_R, true);
  FakeSetKey(DIK_RIGHT, true);
  for (int i = 0; i < 10; ++i) {
    AdvanceTickCount(40);
    Frame();
  }
  FakeSetKey(DIK_RIGHT, false);
  EXPECT_FALSE(Same(loaded, Capture()));
  EXPECT_EQ(FakePlayCount(stepSound), sounds + 1);

  FakeSetKey(DIK_R, false);
  Frame();
  FrameWithR();
  EXPECT_TRUE(Same(loaded, Capture()));
  EXPECT_EQ(loadedLevelFile, "level1.vem");
}

// Setup plays the level loaded at start; R loads that one again, not the first.
TEST_F(RestartTest, RPutsTheSecondLevelBackAsLoaded) {
  const World loaded = Capture();
  Click(150, 400);  // Setup
  ASSERT_EQ(gameState, Playing);
  Hold(DIK_5, 1);
  Hold(DIK_LEFT, 15);
  ASSERT_FALSE(Same(loaded, Capture()));

  FrameWithR();
  EXPECT_TRUE(Same(loaded, Capture()));
  EXPECT_EQ(loadedLevelFile, "level2.vem");
}

}  // namespace
