// The shipped levels played through the real frame loop.
// Their solutions in docs/solutions/, alike on a 60 Hz and a 144 Hz display; the shortcuts the design notes
// (docs/levels.md) call shut, each tried and seen to fail.
#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/game.h"
#include "levelcheck/play.h"
#include "levelcheck/steps.h"
#include "platform/fake/fake_graphics.h"
#include "platform/fake/fake_input.h"
#include "simulation/simulation.h"
#include "support/game_start.h"
#include "world/world.h"

namespace {

std::vector<Step> ReadAll(std::istream& in) {
  std::vector<Step> steps;
  std::string error;
  EXPECT_TRUE(ReadSteps(in, steps, error)) << error;
  return steps;
}

std::string SolutionFile(const std::string& level) {
  return std::string(VEMS_SOURCE_DIR) + "/docs/solutions/" + level + ".steps";
}

std::vector<Step> Solution(const std::string& level) {
  std::ifstream in(SolutionFile(level));
  EXPECT_TRUE(in.is_open()) << level;
  return ReadAll(in);
}

std::vector<Step> StepsOf(const std::string& text) {
  std::istringstream in(text);
  return ReadAll(in);
}

// The steps of the solution before the line holding text.
std::vector<Step> SolutionUpTo(const std::string& level, const std::string& text) {
  std::ifstream in(SolutionFile(level));
  std::string kept;
  for (std::string line; std::getline(in, line) && line.find(text) == std::string::npos;) kept += line + "\n";
  return StepsOf(kept);
}

class LevelsTest : public StartedGameTest {
 protected:
  void SetUp() override {
    StartedGameTest::SetUp();
    FakeSetDisplay(60, true);
  }

  // Level 1 as the title's Play loads it.
  LevelRun PlayLevelOne() {
    Click(200, 330);
    EXPECT_EQ(gameState, Playing);
    return Run("level1.vem");
  }

  // Level 2 as Setup plays it, loaded once more under another name than the one the door loads, so that
  // the door's load shows as a change of file.
  LevelRun PlayLevelTwo() {
    Click(150, 400);
    EXPECT_EQ(gameState, Playing);
    LoadLevel("./level2.vem");
    return Run("./level2.vem");
  }

  // Plays the steps frame by frame; the frame, counted from the first step, in which a key touched the
  // door, or 0 when none did.
  int Play(const LevelRun& run, const std::vector<Step>& steps) {
    int frames = 0;
    for (const Step& step : steps) {
      const bool held = step.kind == StepKind::Hold || step.kind == StepKind::Wait;
      for (int i = 0; i < (held ? step.frames : 1); ++i) {
        const StepOutcome outcome =
            held ? PlayFrames(run, step.kind == StepKind::Hold ? step.arrows : 0, 1) : PlayStep(run, step);
        ++frames;
        if (outcome == StepOutcome::ReachedDoor) return frames;
        EXPECT_EQ(outcome, StepOutcome::Played) << "line " << step.line << ": " << FormatStep(step);
        if (outcome != StepOutcome::Played) return 0;
      }
    }
    return 0;
  }

  // The solution from a fresh start (start() leads into the level) on a 60 Hz display, then again on a
  // 144 Hz one: the frames run 60 a second on both, so it reaches the door in the same frame.
  template <typename Start>
  void ExpectSolvedAlikeAtSixtyAndAHundredFortyFourHertz(Start start, const std::vector<Step>& solution) {
    int framesAtSixty = 0;
    for (int32_t hz : {60, 144}) {
      SCOPED_TRACE(std::to_string(hz) + " Hz");
      if (hz != 60) {
        TearDown();
        SetUp();
      }
      FakeSetDisplay(hz, true);
      const int frames = Play(start(), solution);
      ASSERT_GT(frames, 0);
      if (hz == 60) framesAtSixty = frames;
      EXPECT_EQ(frames, framesAtSixty);
    }
  }

  // True when any part of object i's box is on screen, so it could be clicked.
  static bool SlotOnScreen(int i) { return OnScreen(SlotAtItsPlace(i)); }

  static int FirstSlotOf(ObjectType kind) {
    for (int i = 0; i < objectCount; ++i)
      if (objects[i].type == kind) return i;
    return -1;
  }

  // From a fresh load of the level, each way the creature alone can go: the level's objects of those kinds
  // (the first `count` of each, in the file's order) never come on screen.
  void ExpectOutOfSightWalkingAlone(const char* level, std::vector<std::pair<ObjectType, int>> hidden) {
    for (unsigned arrows : {ARROW_RIGHT, ARROW_LEFT, ARROW_UP, ARROW_RIGHT | ARROW_UP, ARROW_LEFT | ARROW_UP,
                            ARROW_RIGHT | ARROW_DOWN}) {
      LoadLevel(level);
      const LevelRun run = Run(level);
      for (int i = 0; i < 900; ++i) {
        PlayFrames(run, arrows, 1);
        for (const auto& [kind, number] : hidden) {
          const int slot = ClickedSlot(run, kind, number);
          ASSERT_GE(slot, 0);
          ASSERT_FALSE(SlotOnScreen(slot)) << level << " " << SlotName(run, slot) << " arrows " << arrows
                                           << " frame " << i;
        }
      }
    }
  }

  // Holding each of the arrow sets in turn for that many frames, from where play stands, the object in slot
  // never comes on screen.
  static void ExpectNeverOnScreen(const LevelRun& run, int slot, std::initializer_list<unsigned> arrowSets,
                                  int frames, const std::string& where) {
    for (unsigned arrows : arrowSets) {
      for (int i = 0; i < frames; ++i) {
        PlayFrames(run, arrows, 1);
        ASSERT_FALSE(SlotOnScreen(slot)) << where << ", arrows " << arrows << " frame " << i;
      }
    }
  }

 private:
  void Click(int x, int y) {
    MoveCursorTo(x, y);
    FakeSetMouseButton(0, true);
    Frame();
    FakeSetMouseButton(0, false);
  }

  static LevelRun Run(const std::string& path) {
    LevelRun run;
    run.path = path;
    for (int i = 0; i < objectCount; ++i) run.slotKinds.push_back(objects[i].type);
    return run;
  }
};

TEST_F(LevelsTest, LevelOneIsSolvedAndLeadsToLevelTwo) {
  ExpectSolvedAlikeAtSixtyAndAHundredFortyFourHertz([this] { return PlayLevelOne(); }, Solution("level1"));
  EXPECT_EQ(loadedLevelFile, "level2.vem");
}

TEST_F(LevelsTest, LevelTwoIsSolved) {
  ExpectSolvedAlikeAtSixtyAndAHundredFortyFourHertz([this] { return PlayLevelTwo(); }, Solution("level2"));
  EXPECT_EQ(loadedLevelFile, "level2.vem");
}

// Level 1's shortcuts, each tried and failing: the floor ladder, slid anywhere and left, or taken away with
// 4, leaves the creature fast in the floor, and the hall never shows the key (the crash is the way down);
// the first ladder taken down into the lower half; and the key walked past the corridor's rock.
TEST_F(LevelsTest, LevelOneShortcutsAreShut) {
  const std::vector<Step> toTheFloorLadder = SolutionUpTo("level1", "click ladder 2");
  for (const std::string out : {"hold left 300\nhold right 100\nleave\n", "hold right 60\nleave\n", "press 4\n"}) {
    SCOPED_TRACE(out);
    TearDown();
    SetUp();
    const LevelRun run = PlayLevelOne();
    ASSERT_EQ(Play(run, toTheFloorLadder), 0);
    ASSERT_EQ(Play(run, StepsOf("click ladder 2\n" + out)), 0);
    const Vector2 left = player.position;
    EXPECT_EQ(Play(run, StepsOf("hold left 60\nhold right 60\nhold up 60\nhold down 60\n")), 0);
    EXPECT_EQ(player.position, left);
    EXPECT_EQ(player.type, BlueCreature);
  }

  TearDown();
  SetUp();
  LevelRun run = PlayLevelOne();
  ASSERT_EQ(Play(run, toTheFloorLadder), 0);
  ExpectNeverOnScreen(run, FirstSlotOf(Key),
                      {ARROW_DOWN | ARROW_LEFT, ARROW_DOWN | ARROW_RIGHT, ARROW_UP | ARROW_LEFT}, 500, "from the hall");

  TearDown();
  SetUp();
  run = PlayLevelOne();
  ASSERT_EQ(Play(run, SolutionUpTo("level1", "click ladder 1")), 0);
  EXPECT_EQ(Play(run, StepsOf("click ladder 1\nhold down+right 300\nhold down+left 500\nleave\nwait 200\n")), 0);
  EXPECT_LE(player.position.y + 30, 13 * CELL_SIZE);  // on the upper half's floor at the lowest

  TearDown();
  SetUp();
  run = PlayLevelOne();
  ASSERT_EQ(Play(run, SolutionUpTo("level1", "click rock 2")), 0);
  EXPECT_EQ(Play(run, StepsOf("hold left 300\nhold up+left 100\nhold down+left 100\n")), 0);
  EXPECT_GT(player.position.x, SlotAtItsPlace(ClickedSlot(run, Rock, 2)).position.x);
}

// Whether the key's box lies wholly in open cells of the world, where a click can stop it and it can move on.
bool KeyClear(const GameObject& key) {
  const Rect box = PlaceRect(key.bounds, key.position.x, key.position.y);
  return box.left >= 0 && box.top >= 0 && box.right <= GRID_COLUMNS * CELL_SIZE &&
         box.bottom <= GRID_ROWS * CELL_SIZE && WallsAllow(box);
}

// The highest the level's key comes clear over the next frames, as a y (smaller is higher).
float HighestClearKey(const LevelRun& run, int frames) {
  const int key = ClickedSlot(run, Key, 1);
  float highest = 1e9f;
  for (int i = 0; i < frames; ++i) {
    PlayFrames(run, 0, 1);
    if (KeyClear(SlotAtItsPlace(key))) highest = std::min(highest, SlotAtItsPlace(key).position.y);
  }
  return highest;
}

// Level 2's shortcuts, each tried and failing: from the top, walking or in either ladder there, the key never
// shows; gone down by the long ladder's crash with the short one left
// short, nothing down there shows it, and the long one's top shows no vault, so the thrown key cannot be
// followed; and however the key is let go before the hanging ladder is shortened (walking either way, or
// climbing the pocket's east wall), it never comes clear higher than its pocket. Shortened, the ladder lets
// the key climb the west wall, and let go there it comes clear in the vault.
TEST_F(LevelsTest, LevelTwoShortcutsAreShut) {
  PlayLevelTwo();
  ExpectOutOfSightWalkingAlone("./level2.vem", {{Key, 1}, {Ladder, 2}});
  for (const std::string ladder : {"ladder 1", "ladder 3"}) {
    SCOPED_TRACE(ladder);
    TearDown();
    SetUp();
    const LevelRun top = PlayLevelTwo();
    ASSERT_EQ(Play(top, StepsOf("click " + ladder + "\n")), 0);
    ExpectNeverOnScreen(top, ClickedSlot(top, Key, 1),
                        {ARROW_UP, ARROW_DOWN, ARROW_LEFT | ARROW_DOWN, ARROW_RIGHT | ARROW_DOWN}, 300,
                        "in the top's " + ladder);
  }

  // Left in the rock and crashed as the creature, so that the long ladder stays.
  const std::vector<Step> down = StepsOf("click ladder 3\nleave\npress 6\nhold left 2\nwait 100\n");
  TearDown();
  SetUp();
  LevelRun run = PlayLevelTwo();
  ASSERT_EQ(Play(run, down), 0);
  ASSERT_GT(player.position.y, 24 * CELL_SIZE);  // at the long ladder's foot
  ExpectNeverOnScreen(run, ClickedSlot(run, Ladder, 1),
                      {ARROW_UP, ARROW_UP | ARROW_LEFT, ARROW_UP | ARROW_RIGHT, ARROW_DOWN | ARROW_LEFT}, 400,
                      "at the bottom");
  ASSERT_EQ(Play(run, StepsOf("click ladder 3\n")), 0);
  ExpectNeverOnScreen(run, FirstSlotOf(Door), {ARROW_LEFT, ARROW_RIGHT, ARROW_UP, ARROW_DOWN}, 300,
                      "in the long ladder");

  const float pocketTop = 24 * CELL_SIZE;
  const float vaultBottom = 4 * CELL_SIZE;
  // Walking left into the hanging ladder, walking right, climbing the east wall.
  for (const std::string letGo : {"hold left 4\nleave left\n", "hold right 4\nleave right\n",
                                   "hold right 6\nleave right\n"}) {
    SCOPED_TRACE(letGo);
    TearDown();
    SetUp();
    run = PlayLevelTwo();
    ASSERT_EQ(Play(run, SolutionUpTo("level2", "click key 1")), 0);
    ASSERT_EQ(Play(run, StepsOf("click key 1\n" + letGo)), 0);
    EXPECT_GE(HighestClearKey(run, 600), pocketTop);
  }

  TearDown();
  SetUp();
  run = PlayLevelTwo();
  ASSERT_EQ(Play(run, SolutionUpTo("level2", "leave left")), 0);
  ASSERT_EQ(Play(run, StepsOf("leave left\n")), 0);
  EXPECT_LT(HighestClearKey(run, 600), vaultBottom);
}

// Level 1's start room never shows the key, nor the ladder on the shelf above: the rock comes first.
TEST_F(LevelsTest, LevelOneStartRoomHidesTheKeyAndTheShelfLadder) {
  PlayLevelOne();
  ExpectOutOfSightWalkingAlone("level1.vem", {{Key, 1}, {Ladder, 1}});
}

}  // namespace
