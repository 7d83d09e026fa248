// The shipped levels played through the real frame loop.
// Scripted solutions of both, alike on a 60 Hz and a 144 Hz display, and the creature alone never getting a
// key on screen.
#include <cmath>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/fake/fake_graphics.h"
#include "platform/fake/fake_input.h"
#include "platform/input.h"
#include "support/game_start.h"
#include "world/world.h"

namespace {

constexpr unsigned None = 0, L = 1, R = 2, U = 4, D = 8;  // held arrow keys

// Held keys for a number of frames, or (frames 0) one frame's click at a world position.
struct Step {
  int frames;
  unsigned keys;
  float clickX;
  float clickY;
};

Step Hold(int frames, unsigned keys) { return Step{frames, keys, 0, 0}; }
Step Click(float x, float y) { return Step{0, None, x, y}; }

// Where a level puts things, to recognise it freshly loaded.
struct LevelStart {
  int32_t count = 0;
  ObjectType types[MAX_OBJECTS];
  Vector2 places[MAX_OBJECTS];
  Vector2 creature;
};

LevelStart RecordStart() {
  LevelStart start;
  start.count = objectCount;
  for (int i = 0; i < objectCount; ++i) {
    start.types[i] = objects[i].type;
    start.places[i] = objects[i].position;
  }
  start.creature = player.position;
  return start;
}

// Every object back at its start and the creature (not possessing) near its "G": the level was just loaded.
bool JustLoaded(const LevelStart& start) {
  if (objectCount != start.count || player.possessedIndex != -1 || player.type != BlueCreature) return false;
  for (int i = 0; i < objectCount; ++i)
    if (objects[i].type != start.types[i] || objects[i].position != start.places[i]) return false;
  return std::fabs(player.position.x - start.creature.x) <= 8 && std::fabs(player.position.y - start.creature.y) <= 8;
}

class LevelsTest : public StartedGameTest {
 protected:
  void SetUp() override {
    StartedGameTest::SetUp();
    level2 = RecordStart();  // the program loads "level2.vem" before the title
    FakeSetDisplay(60, true);
  }

  // One frame; its present moves the clock on as the display and the frame pacing do.
  void Tick() {
    FakeClearLog();  // thousands of frames: keep the draw log small
    Frame();
    ++frames_;
  }

  void HoldKeys(unsigned keys) {
    FakeSetKey(DIK_LEFT, keys & L);
    FakeSetKey(DIK_RIGHT, keys & R);
    FakeSetKey(DIK_UP, keys & U);
    FakeSetKey(DIK_DOWN, keys & D);
  }

  // Screen (x, y) clicked for one frame; the button is let go before the next.
  void ClickScreen(int x, int y) {
    HoldKeys(None);
    MoveCursorTo(x, y);
    FakeSetMouseButton(0, true);
    Tick();
    FakeSetMouseButton(0, false);
  }

  void PressPlay() {
    ClickScreen(200, 330);
    ASSERT_EQ(gameState, Playing);
  }

  // Plays the steps; true as soon as level 2 comes to stand freshly loaded (the steps stop there). A
  // level 2 that is still untouched at the start does not count: it has to be left and loaded again.
  bool PlayUntilLevel2(const std::vector<Step>& steps) {
    bool wasLoaded = JustLoaded(level2);
    for (const Step& step : steps) {
      const int frames = step.frames == 0 ? 1 : step.frames;
      for (int i = 0; i < frames; ++i) {
        if (step.frames == 0) {
          const float sx = step.clickX - camera.x;
          const float sy = step.clickY - camera.y;
          EXPECT_TRUE(sx >= 0 && sx < 640 && sy >= 0 && sy < 480) << "click off screen at " << sx << "," << sy;
          ClickScreen(static_cast<int>(sx), static_cast<int>(sy));
        } else {
          HoldKeys(step.keys);
          Tick();
        }
        const bool loaded = JustLoaded(level2);
        if (loaded && !wasLoaded) return true;
        wasLoaded = loaded;
      }
    }
    return false;
  }

  // True when any part of object i's box is on screen, so it could be clicked.
  static bool OnScreen(int i) {
    const Rect box = PlaceRect(objects[i].bounds, objects[i].position.x, objects[i].position.y);
    const Rect screen = MakeRect(static_cast<int32_t>(camera.x), static_cast<int32_t>(camera.y),
                                 static_cast<int32_t>(camera.x) + 640, static_cast<int32_t>(camera.y) + 480);
    Rect cut;
    return IntersectRect(cut, box, screen);
  }

  static int KeySlot() {
    for (int i = 0; i < objectCount; ++i)
      if (objects[i].type == Key) return i;
    return -1;
  }

  // From a fresh load of the level, each attempt of the creature alone: the key never comes on screen.
  void ExpectKeyOutOfSightWalkingAlone(const char* level) {
    for (unsigned keys : {R, L, U, R | U, L | U, R | D}) {
      LoadLevel(level);
      const int key = KeySlot();
      ASSERT_GE(key, 0);
      HoldKeys(keys);
      for (int i = 0; i < 600; ++i) {
        Tick();
        ASSERT_FALSE(OnScreen(key)) << level << " keys " << keys << " frame " << i;
      }
      EXPECT_EQ(player.possessedIndex, -1);
    }
  }

  // The solution played from a fresh start (begin() leads into the level) on a 60 Hz display, then again
  // on a 144 Hz one: the frames run 60 a second on both, so it solves the level in the same frame.
  template <typename Begin>
  void ExpectSolvedAlikeAtSixtyAndAHundredFortyFourHertz(Begin begin, const std::vector<Step>& solution) {
    int framesAtSixty = 0;
    for (int32_t hz : {60, 144}) {
      SCOPED_TRACE(std::to_string(hz) + " Hz");
      if (hz != 60) {
        TearDown();
        SetUp();
      }
      FakeSetDisplay(hz, true);
      frames_ = 0;
      begin();
      ASSERT_TRUE(PlayUntilLevel2(solution));
      if (hz == 60) framesAtSixty = frames_;
      EXPECT_EQ(frames_, framesAtSixty);
    }
  }

  LevelStart level2;

 private:
  int frames_ = 0;
};

// Level 1: the creature is shut in; the rock next door rolls along its corridor to the step, the creature
// leaves it there, climbs the step and then the world's east wall beside the key's vault until the key
// shows level with it, and the key walks up onto the sill and into the door.
TEST_F(LevelsTest, LevelOneIsSolvedAndLeadsToLevelTwo) {
  const std::vector<Step> solution = {
      Click(400, 912),   // the rock
      Hold(240, R),      // rolled to the step
      Click(500, 880),   // out onto the corridor floor
      Hold(60, R),       // against the step
      Hold(60, R | U),   // up it
      Hold(100, R),      // along the passage into the hall
      Hold(330, R | U),  // up the east wall to the top: the vault's key shows
      Click(912, 280),   // the key
      Hold(200, R),      // up the sill and into the door
  };
  ExpectSolvedAlikeAtSixtyAndAHundredFortyFourHertz(
      [this] {
        PressPlay();
        ASSERT_EQ(objectCount, 3);
      },
      solution);
}

// Level 2: the ladder slides out of the shut room through the wall until the cavern's paper airplane
// shows; the airplane is launched off its perch and flown across the cavern, and left over the pocket down
// its east side, where the creature sinks to the floor and the key's tunnel shows beside it; the rock and
// the scissors that block the tunnel go down its pits; the key walks out to the door, which loads
// level 2 afresh.
TEST_F(LevelsTest, LevelTwoIsSolved) {
  const std::vector<Step> solution = {
      Click(176, 272),   // the ladder
      Hold(300, R),      // through the wall into the cavern
      Click(720, 336),   // the paper airplane on its perch
      Hold(24, R),       // launched off the perch
      Hold(110, None),   // flying level across the cavern
      Click(900, 100),   // let go over the pocket
      Hold(200, D),      // the creature nudged out of the airplane, down to the pocket's floor
      Click(880, 784),   // the rock next to the key
      Hold(150, R),      // into the first pit
      Click(976, 784),   // the scissors
      Hold(150, R),      // into the second pit
      Click(848, 784),   // the key
      Hold(200, R),      // out to the door
  };
  ExpectSolvedAlikeAtSixtyAndAHundredFortyFourHertz(
      [this] {
        ClickScreen(160, 400);  // Setup: play the level the program loaded first
        ASSERT_EQ(gameState, Playing);
      },
      solution);
}

TEST_F(LevelsTest, CreatureAloneNeverSeesTheKey) {
  PressPlay();
  ExpectKeyOutOfSightWalkingAlone("level1.vem");
  ExpectKeyOutOfSightWalkingAlone("level2.vem");
}

}  // namespace
