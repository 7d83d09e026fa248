// CanMove: frame bands, walls at and beyond the grid's edges, each kind's rules, the rock climb and the door.
#include <cmath>
#include <optional>

#include "simulation/simulation.h"
#include "support/fixture.h"
#include "support/game_start.h"
#include "support/world_builders.h"
#include "world/world.h"

namespace {

// The door loads "level2.vem" from the working directory; these tests run from tests/, which holds one of
// our own (creature at (224, 160), six objects, a wall block at columns 10-13, rows 14-16), wherever the
// binary was started.
class MovementTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    inTests_.emplace(TestFile(""));
    player.possessedIndex = -1;  // as every level load leaves it; slot 0 would otherwise count as possessed
  }
  void TearDown() override { inTests_.reset(); }

 private:
  std::optional<WorkingDirectory> inTests_;
};

bool LevelTwoIsLoaded() {
  return objectCount == 6 && levelGrid[7][5] == 'G' && levelGrid[10][14] == WALL_CELL && player.type == BlueCreature &&
         player.position == Vector2(224, 160) && player.possessedIndex == -1;
}

}  // namespace

// ---- Frame bands and edge contact ----

TEST_F(MovementTest, FrameBandsAllowEdgeContactAndStopOnePixelMore) {
  GameObject ladder = Make(Ladder, 0, 100);  // a 32 by 32 box that meets no objects
  EXPECT_TRUE(CanMove(ladder, Vector2(-1, 0)));  // left edge at -1 touches lFrame
  EXPECT_FALSE(CanMove(ladder, Vector2(-2, 0)));

  ladder.position = Vector2(100, 0);
  EXPECT_TRUE(CanMove(ladder, Vector2(0, -1)));
  EXPECT_FALSE(CanMove(ladder, Vector2(0, -2)));

  ladder.position = Vector2(1248, 100);  // box ends exactly at 1280
  EXPECT_TRUE(CanMove(ladder, Vector2(0, 0)));
  EXPECT_FALSE(CanMove(ladder, Vector2(1, 0)));

  ladder.position = Vector2(100, 928);  // box ends exactly at 960
  EXPECT_TRUE(CanMove(ladder, Vector2(0, 0)));
  EXPECT_FALSE(CanMove(ladder, Vector2(0, 1)));

  // The position is truncated after the displacement is added: -1.9 still leaves the edge at -1.
  ladder.position = Vector2(0, 100);
  EXPECT_TRUE(CanMove(ladder, Vector2(-1.9f, 0)));

  // One pixel off the top left corner the box reaches into cell (0, 0) and nothing else.
  ladder.position = Vector2(-1, -1);
  EXPECT_TRUE(CanMove(ladder, Vector2(0, 0)));
  levelGrid[0][0] = WALL_CELL;
  EXPECT_FALSE(CanMove(ladder, Vector2(0, 0)));
}

// ---- Walls ----

TEST_F(MovementTest, WallCellBlocksOnlyWhatOverlapsIt) {
  Wall(5, 5);                 // square 160..192 by 160..192
  levelGrid[6][5] = 'R';      // any other character is open space
  GameObject ladder = Make(Ladder, 128, 160);
  EXPECT_TRUE(CanMove(ladder, Vector2(0, 0)));
  EXPECT_FALSE(CanMove(ladder, Vector2(1, 0)));
  ladder.position = Vector2(160, 128);
  EXPECT_TRUE(CanMove(ladder, Vector2(0, 0)));
  EXPECT_FALSE(CanMove(ladder, Vector2(0, 1)));
  ladder.position = Vector2(192, 160);  // on the 'R' cell, right of the wall
  EXPECT_TRUE(CanMove(ladder, Vector2(0, 0)));
  EXPECT_FALSE(CanMove(ladder, Vector2(-1, 0)));
}

TEST_F(MovementTest, BoxesBeyondTheGridAreTestedOnlyAgainstCellsThatExist) {
  for (int c = 0; c < GRID_COLUMNS; ++c) {
    for (int r = 0; r < GRID_ROWS; ++r) Wall(c, r);
  }
  // The corners outside the world are covered by no band, and no cell lies under them.
  GameObject key = Make(Key, -40, -40);
  EXPECT_TRUE(CanMove(key, Vector2(0, 0)));
  key.position = Vector2(1280, 960);
  EXPECT_TRUE(CanMove(key, Vector2(0, 0)));
  key.position = Vector2(1300, -500);
  EXPECT_TRUE(CanMove(key, Vector2(0, 0)));
  key.position = Vector2(-500, 2000);
  EXPECT_TRUE(CanMove(key, Vector2(0, 0)));
  // A drifting key can end up anywhere, even where the cell numbers run into the millions.
  for (const float far : {1e9f, -1e9f, 3e38f, -3e38f}) {
    key.position = Vector2(far, far);
    EXPECT_TRUE(CanMove(key, Vector2(4, 0))) << far;
  }
  key.position = Vector2(NAN, INFINITY);
  CanMove(key, Vector2(0, 0));  // any answer will do; it must not read outside the grid
}

// ---- Creatures ----

TEST_F(MovementTest, CreatureWalksIntoLaddersAndDoorsAndIsStoppedByEverythingElse) {
  for (const int32_t mover : {BlueCreature, GreenCreature}) {
    GameObject creature = Make(mover, 100, 100);  // box 108..123
    for (const int32_t kind : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}) {
      objectCount = 0;
      Add(Make(kind, 0, 0));  // far away: never in the way
      Add(Make(kind, 121, 100));
      if (kind == 6 || kind == 7) objects[1].bounds = MakeRect(2, 2, 29, 29);
      const bool passes = kind == Ladder || kind == Door;
      EXPECT_EQ(CanMove(creature, Vector2(12, 0)), passes) << "mover " << mover << " meets " << kind;
    }
  }
  // Edge to edge with a rock is no contact; one pixel more is.
  objectCount = 0;
  Add(Make(Rock, 121, 100));  // box from 123
  GameObject creature = Make(BlueCreature, 100, 100);
  EXPECT_TRUE(CanMove(creature, Vector2(0, 0)));
  EXPECT_FALSE(CanMove(creature, Vector2(1, 0)));
}

// ---- Rocks and the climb ----

TEST_F(MovementTest, RockPushedIntoRockWithRoomAboveTurnsAndRises) {
  Add(Make(Rock, 128, 100));  // box 130..157
  GameObject rock = Make(Rock, 100, 100);  // box 102..129
  rock.velocity = Vector2(2, 0);
  rock.frame = 3;
  EXPECT_FALSE(CanMove(rock, Vector2(2, 0)));
  EXPECT_EQ(rock.frame, 2);
  EXPECT_EQ(rock.position, Vector2(100, 98));

  rock.frame = 0;  // turning past 0 wraps to 15
  EXPECT_FALSE(CanMove(rock, Vector2(2, 0)));
  EXPECT_EQ(rock.frame, 15);
  EXPECT_EQ(rock.position.y, 96);

  // Pushed from the other side the rock turns the other way; 15 wraps to 0.
  objects[0].position = Vector2(72, 96);
  rock.velocity = Vector2(-2, 0);
  EXPECT_FALSE(CanMove(rock, Vector2(-2, 0)));
  EXPECT_EQ(rock.frame, 0);
  EXPECT_EQ(rock.position.y, 94);

  // With no x velocity (the fall test) it rises without turning.
  rock.velocity = Vector2(0, 0);
  EXPECT_FALSE(CanMove(rock, Vector2(-2, 0)));
  EXPECT_EQ(rock.frame, 0);
  EXPECT_EQ(rock.position.y, 92);
}

TEST_F(MovementTest, RockWithLessThanTwoPixelsAboveNeitherTurnsNorRises) {
  Add(Make(Rock, 128, 95));
  Wall(3, 2);  // bottom edge at 96, one pixel above the rock's box
  GameObject rock = Make(Rock, 100, 95);  // box top 97
  rock.velocity = Vector2(2, 0);
  rock.frame = 3;
  EXPECT_FALSE(CanMove(rock, Vector2(2, 0)));
  EXPECT_EQ(rock.frame, 3);
  EXPECT_EQ(rock.position, Vector2(100, 95));
}

TEST_F(MovementTest, RockDoesNotClimbThePossessedSlotOrARockAtItsOwnPlace) {
  Add(Make(Rock, 128, 100));
  GameObject rock = Make(Rock, 100, 100);
  player.possessedIndex = 0;
  EXPECT_FALSE(CanMove(rock, Vector2(2, 0)));
  EXPECT_EQ(rock.position.y, 100);

  // A rock at the same place, cut down to its bottom row so the rise itself is free.
  player.possessedIndex = -1;
  objects[0].position = rock.position;
  objects[0].bounds = MakeRect(2, 27, 29, 29);
  EXPECT_FALSE(CanMove(rock, Vector2(2, 0)));
  EXPECT_EQ(rock.position.y, 100);
}

TEST_F(MovementTest, RockUnderARockDoesNotClimbAndTheRiseTestEnds) {
  Add(Make(Rock, 100, 73));   // resting on the climbing rock: box bottom 102 meets its top edge to edge
  Add(Make(Rock, 128, 100));  // the rock pushed against
  GameObject rock = Make(Rock, 100, 100);
  rock.velocity = Vector2(2, 0);
  EXPECT_FALSE(CanMove(rock, Vector2(2, 0)));
  EXPECT_EQ(rock.position, Vector2(100, 100));
  EXPECT_EQ(rock.frame, 0);
}

TEST_F(MovementTest, RockPassesIntoLaddersAndDoorsButIsHeldOnceInside) {
  GameObject rock = Make(Rock, 100, 100);
  for (const int32_t kind : {Ladder, Door}) {
    objectCount = 0;
    Add(Make(kind, 130, 100));
    rock.position = Vector2(100, 100);
    EXPECT_TRUE(CanMove(rock, Vector2(2, 0))) << kind;
    rock.position = Vector2(110, 100);  // already inside
    EXPECT_FALSE(CanMove(rock, Vector2(-2, 0))) << kind;
    EXPECT_FALSE(CanMove(rock, Vector2(0, 4))) << kind;
  }
  for (const int32_t kind : {BlueCreature, Paper, Scissors, Key, GreenCreature}) {
    objectCount = 0;
    Add(Make(kind, 130, 100));
    rock.position = Vector2(100, 100);
    rock.velocity = Vector2(2, 0);
    EXPECT_FALSE(CanMove(rock, Vector2(24, 0))) << kind;
    EXPECT_EQ(rock.position.y, 100) << kind;  // only rocks are climbed
  }
}

// ---- Keys and the door ----

TEST_F(MovementTest, KeyMeetsKeysAndLaddersFreelyAndIsStoppedByTheRest) {
  GameObject key = Make(Key, 100, 100);  // box 100..131
  for (const int32_t kind : {0, 1, 2, 3, 4, 5, 6, 7, 9}) {
    objectCount = 0;
    Add(Make(kind, 140, 100));
    if (kind == 6 || kind == 7) objects[0].bounds = MakeRect(0, 0, 32, 32);
    const bool passes = kind == Key || kind == Ladder;
    EXPECT_EQ(CanMove(key, Vector2(20, 0)), passes) << kind;
    EXPECT_EQ(objectCount, 1);
  }
}

TEST_F(MovementTest, KeyOnDoorLoadsLevelTwoAndTheTestFinishesThere) {
  SetObjectType(player, Key);  // a possessed key
  player.position = Vector2(100, 100);
  player.possessedIndex = 1;
  Add(Make(Door, 130, 100));
  Add(Make(Key, -100, 100));  // the parked slot
  EXPECT_TRUE(CanMove(player, Vector2(4, 0)));
  EXPECT_TRUE(LevelTwoIsLoaded());
  EXPECT_EQ(objects[5].type, Door);
}

TEST_F(MovementTest, AfterTheLevelChangeTheNewWallsJudgeTheOldBox) {
  // Nothing stands where the door is in this level, but level 2 has a wall cell there.
  SetObjectType(player, Key);
  player.position = Vector2(330, 460);
  Add(Make(Door, 360, 460));
  EXPECT_FALSE(CanMove(player, Vector2(4, 0)));
  EXPECT_TRUE(LevelTwoIsLoaded());
}

TEST_F(MovementTest, AfterTheLevelChangeTheReloadedPlayerMeetsLaterObjectsAsACreature) {
  // Level 2's slot 2 is a key on this spot: a key would pass it, the creature the player now is may not.
  SetObjectType(player, Key);
  player.position = Vector2(770, 640);
  Add(Make(Door, 800, 640));
  EXPECT_FALSE(CanMove(player, Vector2(4, 0)));
  EXPECT_TRUE(LevelTwoIsLoaded());
  EXPECT_EQ(objects[2].type, Key);
  EXPECT_EQ(objects[2].position, Vector2(800, 640));
}

TEST_F(MovementTest, KeyOnTheDoorOfLevelTwoLoadsLevelTwoAgain) {
  LoadLevel("level2.vem");
  levelGrid[20][20] = WALL_CELL;
  objects[0].position = Vector2(500, 500);
  SetObjectType(player, Key);
  player.position = Vector2(1150, 896);
  EXPECT_TRUE(CanMove(player, Vector2(4, 0)));  // touches the door at (1184, 896) by one pixel
  EXPECT_TRUE(LevelTwoIsLoaded());
  EXPECT_EQ(levelGrid[20][20], '.');
  EXPECT_EQ(objects[0].position, Vector2(960, 160));
}

TEST_F(MovementTest, ObjectsAreExaminedInOrderAndTheFirstRefusalEndsTheTest) {
  Add(Make(Rock, 140, 100));
  Add(Make(Door, 130, 100));
  SetObjectType(player, Key);
  player.position = Vector2(100, 100);
  EXPECT_FALSE(CanMove(player, Vector2(12, 0)));
  EXPECT_EQ(objectCount, 2);  // the door was never reached: no level change
  EXPECT_EQ(player.type, Key);
}

// ---- Paper airplanes and scissors ----

TEST_F(MovementTest, PaperAndScissorsEnterOtherObjectsButCannotMoveOnInside) {
  for (const int32_t mover : {Paper, Scissors}) {
    objectCount = 0;
    Add(Make(Rock, 140, 100));
    GameObject object = Make(mover, 100, 100);
    EXPECT_TRUE(CanMove(object, Vector2(20, 0))) << mover;
    object.position = Vector2(140, 100);
    for (const Vector2 step : {Vector2(0, 0), Vector2(4, 0), Vector2(-4, 0), Vector2(0, 4), Vector2(0, -30)}) {
      EXPECT_FALSE(CanMove(object, step)) << mover;
    }
    // Inside one of its own kind it moves freely.
    objects[0] = Make(mover, 140, 100);
    EXPECT_TRUE(CanMove(object, Vector2(0, 4))) << mover;
  }
}
