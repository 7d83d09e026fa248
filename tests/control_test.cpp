// Control of the object under control: each kind's rule, the stick thresholds, the nudge and the kind keys.
#include <cstring>

#include "game/game.h"
#include "platform/directsound.h"
#include "platform/fake/fake_audio.h"
#include "platform/input.h"
#include "support/fixture.h"
#include "support/world_builders.h"
#include "world/startup.h"
#include "world/world.h"

namespace {

class ControlTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    std::memset(levelGrid, '.', sizeof levelGrid);
  }

  static void Hold(int32_t key) { keyboardState[key] = 0x80; }
  static void Release() { std::memset(keyboardState, 0, sizeof keyboardState); }

  // player as a fresh object of that kind at (x, y), not possessing anything.
  static void Become(ObjectType type, float x, float y) {
    player = GameObject();
    SetObjectType(player, type);
    player.position = Vector2(x, y);
    player.possessedIndex = -1;
  }

  // One frame of control with the given key held.
  static Vector2 ControlWith(int32_t key) {
    Release();
    Hold(key);
    ControlPlayer();
    return player.velocity;
  }
};

void ExpectVelocity(const Vector2& v, float x, float y) {
  EXPECT_EQ(v.x, x);
  EXPECT_EQ(v.y, y);
}

TEST_F(ControlTest, CreatureWalksWhereFreeAndClimbsWhatBlocksIt) {
  Become(BlueCreature, 312, 320);  // its box starts 8 pixels into the sprite: x 320..335
  ExpectVelocity(ControlWith(DIK_LEFT), -4, 0);
  ExpectVelocity(ControlWith(DIK_RIGHT), 4, 0);

  Wall(9, 10);  // against its left side, open above: climb
  ExpectVelocity(ControlWith(DIK_LEFT), 0, -4);
  Wall(10, 9);  // and a ceiling on its head: stuck
  ExpectVelocity(ControlWith(DIK_LEFT), 0, 0);

  // Both held with both sides free: Right is handled last and wins.
  Become(BlueCreature, 320, 320);
  Hold(DIK_LEFT);
  Hold(DIK_RIGHT);
  ControlPlayer();
  ExpectVelocity(player.velocity, 4, 0);
}

TEST_F(ControlTest, AtTheWorldsSidesTheCreatureOnlyTriesToClimb) {
  // X = 0 (the float is 0.5): the sideways move would be free, but it is not even tried.
  Become(BlueCreature, 0.5f, 320);
  ExpectVelocity(ControlWith(DIK_LEFT), 0, -4);
  Become(BlueCreature, 1248, 320);
  ExpectVelocity(ControlWith(DIK_RIGHT), 0, -4);
  // At the top no climb either.
  Become(BlueCreature, 1248, 0);
  ExpectVelocity(ControlWith(DIK_RIGHT), 0, 0);
}

TEST_F(ControlTest, KeyWalksAndClimbsLikeTheCreature) {
  Become(Key, 320, 320);
  ExpectVelocity(ControlWith(DIK_RIGHT), 4, 0);
  Wall(11, 10);
  ExpectVelocity(ControlWith(DIK_RIGHT), 0, -4);
}

TEST_F(ControlTest, RockRollsOnlyWhereFreeAndNeverClimbs) {
  Become(Rock, 318, 320);  // box x 320..347
  ExpectVelocity(ControlWith(DIK_LEFT), -2, 0);
  Wall(9, 10);
  ExpectVelocity(ControlWith(DIK_LEFT), 0, 0);
  ExpectVelocity(ControlWith(DIK_RIGHT), 2, 0);
}

TEST_F(ControlTest, StandingPaperAirplaneLaunches) {
  Become(Paper, 320, 320);
  Wall(10, 11);  // the floor right under it: the 4-pixel probe meets it
  player.position.y = 320 + 32 - 23 - 2;
  player.velocity = Vector2(-6, 200);
  ExpectVelocity(ControlWith(DIK_RIGHT), 6, 0);
  ExpectVelocity(ControlWith(DIK_LEFT), -6, 180);
}

TEST_F(ControlTest, FlyingPaperAirplaneReversesWithTheHeadingMirrored) {
  Become(Paper, 320, 320);
  const struct {
    Vector2 before;
    int32_t key;
    Vector2 after;
  } cases[] = {
      {Vector2(6, 30), DIK_LEFT, Vector2(-6, 150)},   {Vector2(6, 0), DIK_LEFT, Vector2(-6, 180)},
      {Vector2(6, 330), DIK_LEFT, Vector2(-6, 210)},  {Vector2(-6, 200), DIK_RIGHT, Vector2(6, 340)},
      {Vector2(-6, 180), DIK_LEFT, Vector2(-6, 180)},  // already flying that way: nothing changes
      {Vector2(0, 45), DIK_LEFT, Vector2(-6, 180)},    // in the air but not flying: a launch
  };
  for (const auto& c : cases) {
    player.velocity = c.before;
    const Vector2 v = ControlWith(c.key);
    EXPECT_EQ(v.x, c.after.x) << "from heading " << c.before.y;
    EXPECT_EQ(v.y, c.after.y) << "from heading " << c.before.y;
  }
}

TEST_F(ControlTest, PaperHeadingIsSteeredWithinItsLimits) {
  Become(Paper, 320, 320);
  const struct {
    float heading;
    int32_t key;
    float after;
  } cases[] = {
      {59, DIK_UP, 60},    {60, DIK_UP, 60},      {359, DIK_UP, 0},     {0, DIK_UP, 1},
      {121, DIK_UP, 120},  {120, DIK_UP, 120},    {0, DIK_DOWN, 359},   {301, DIK_DOWN, 300},
      {300, DIK_DOWN, 300}, {239, DIK_DOWN, 240}, {240, DIK_DOWN, 240}, {180, DIK_DOWN, 181},
  };
  for (const auto& c : cases) {
    player.velocity = Vector2(6, c.heading);
    EXPECT_EQ(ControlWith(c.key).y, c.after) << "heading " << c.heading;
  }
}

TEST_F(ControlTest, ScissorsTestOnlyTheStepTheirSnipFrameTakes) {
  Become(Scissors, 320, 320);
  Wall(9, 10);  // a full step left is blocked
  player.frame = 1;  // this frame does not advance: the candidate step is (0, 0), which is free
  ExpectVelocity(ControlWith(DIK_LEFT), -4, 0);
  player.frame = 0;
  ExpectVelocity(ControlWith(DIK_LEFT), 0, -4);

  Wall(11, 10);
  player.frame = 6;
  ExpectVelocity(ControlWith(DIK_RIGHT), 4, 0);
  player.frame = 5;
  ExpectVelocity(ControlWith(DIK_RIGHT), 0, -4);
}

TEST_F(ControlTest, LadderSlidesThroughAnythingAndGrowsWithinItsLimits) {
  Become(Ladder, 0.5f, 320);
  Wall(0, 10);
  ExpectVelocity(ControlWith(DIK_LEFT), -4, 0);  // the float test: 0.5 is above 0
  player.position.x = 1248;
  ExpectVelocity(ControlWith(DIK_RIGHT), 0, 0);
  player.position.x = 600;
  Wall(19, 10);
  ExpectVelocity(ControlWith(DIK_LEFT), -4, 0);  // no collision test at all

  player.bounds.bottom = 440;
  ControlWith(DIK_UP);
  EXPECT_EQ(player.bounds.bottom, 448);
  ControlWith(DIK_UP);
  EXPECT_EQ(player.bounds.bottom, 448);
  player.bounds.bottom = 40;
  ControlWith(DIK_DOWN);
  EXPECT_EQ(player.bounds.bottom, 32);
  ControlWith(DIK_DOWN);
  EXPECT_EQ(player.bounds.bottom, 32);

  Release();
  ControlPlayer();  // nothing held, no pad: the height stays
  EXPECT_EQ(player.bounds.bottom, 32);
}

TEST_F(ControlTest, PadStickCountsOnlyBeyondTwoThousand) {
  Become(Ladder, 600, 320);
  player.bounds.bottom = 64;
  Release();
  padStates[0].sThumbLX = -2000;
  padStates[0].sThumbLY = 2000;
  ControlPlayer();
  ExpectVelocity(player.velocity, 0, 0);
  EXPECT_EQ(player.bounds.bottom, 64);

  padStates[0].sThumbLX = -2001;
  padStates[0].sThumbLY = 2001;  // positive is up: the ladder grows
  ControlPlayer();
  ExpectVelocity(player.velocity, -4, 0);
  EXPECT_EQ(player.bounds.bottom, 72);

  padStates[0].sThumbLX = 2001;
  padStates[0].sThumbLY = -2001;
  ControlPlayer();
  ExpectVelocity(player.velocity, 4, 0);
  EXPECT_EQ(player.bounds.bottom, 64);

  // Only pad 0 steers.
  padStates[0] = GamepadState{};
  padStates[1].sThumbLX = 30000;
  ControlPlayer();
  ExpectVelocity(player.velocity, 0, 0);
}

TEST_F(ControlTest, NudgeMovesTwoPixelsAgainstWallCellsOnly) {
  Become(BlueCreature, 320, 320);
  Hold(DIK_UP);
  NudgePlayer();
  EXPECT_EQ(player.position.y, 318.0f);

  // Top edge touching a wall from below: one nudge into that cell, then it stops there.
  Wall(10, 9);
  player.position.y = 320;
  NudgePlayer();
  EXPECT_EQ(player.position.y, 318.0f);
  NudgePlayer();
  EXPECT_EQ(player.position.y, 318.0f);

  Release();
  Hold(DIK_DOWN);
  player.position.y = 928;
  NudgePlayer();
  EXPECT_EQ(player.position.y, 928.0f);
  player.position.y = 500;
  NudgePlayer();
  EXPECT_EQ(player.position.y, 502.0f);
  Wall(10, 16);  // the cell under the middle of its bottom edge
  NudgePlayer();
  EXPECT_EQ(player.position.y, 502.0f);

  // The airplane is never nudged.
  Become(Paper, 320, 320);
  Hold(DIK_UP);
  NudgePlayer();
  EXPECT_EQ(player.position.y, 320.0f);
}

TEST_F(ControlTest, NudgeOutsideTheWorldFindsNoWall) {
  // A key that drifted off the grid: the cells its middle would read do not exist and count as open.
  std::memset(levelGrid, WALL_CELL, sizeof levelGrid);
  for (const Vector2& at : {Vector2(1270, 320), Vector2(-80, 320), Vector2(320, 2000)}) {
    Become(Key, at.x, at.y);
    Release();
    Hold(DIK_UP);
    NudgePlayer();
    EXPECT_EQ(player.position.y, at.y - 2.0f) << at.x << "," << at.y;
  }
  Become(Key, 1270, 320);
  Release();
  Hold(DIK_DOWN);
  NudgePlayer();
  EXPECT_EQ(player.position.y, 322.0f);
}

class KindKeyTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    ASSERT_TRUE(InitSound(nullptr));
    stepSound = LoadSoundEffect(DataFile("step.wav"));
    ASSERT_NE(stepSound, nullptr);
  }
  void TearDown() override {
    delete stepSound;
    stepSound = nullptr;
  }
};

TEST_F(KindKeyTest, HeldKeyChangesKindAndPlaysTheStepEveryFrame) {
  Become(BlueCreature, 320, 320);
  player.velocity = Vector2(4, 0);
  Hold(DIK_5);
  for (int frame = 0; frame < 3; ++frame) ApplyKindKeys();
  EXPECT_EQ(player.type, Rock);
  EXPECT_EQ(player.speed, 2);
  EXPECT_EQ(player.velocity.x, 4.0f);  // position and velocity are kept
  EXPECT_EQ(FakePlayCount(stepSound), 3);

  Release();
  Hold(DIK_6);
  ApplyKindKeys();
  EXPECT_EQ(player.type, Paper);
  Release();
  Hold(DIK_3);
  ApplyKindKeys();
  EXPECT_EQ(player.type, Scissors);
}

TEST_F(KindKeyTest, KeyFourDropsThePossessionAndLeavesTheSlotParked) {
  objectCount = 1;
  SetObjectType(objects[0], Rock);
  objects[0].position = Vector2(-100, 320);
  Become(Rock, 320, 320);
  player.possessedIndex = 0;
  Hold(DIK_4);
  ApplyKindKeys();
  EXPECT_EQ(player.type, BlueCreature);
  EXPECT_EQ(player.possessedIndex, -1);
  EXPECT_EQ(player.position.x, 320.0f);
  EXPECT_EQ(objects[0].position.x, -100.0f);
  ParkPossessed();
  EXPECT_EQ(objects[0].position.x, -100.0f);
}

}  // namespace
