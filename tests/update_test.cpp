// UpdateObject: the step clock, each kind's step, the airplane's flight and crash, respawn.
// Also whole scenes played frame by frame the way the game drives them.
#include <cmath>
#include <functional>

#include "platform/fake/fake_clock.h"
#include "platform/tick_count.h"
#include "simulation/simulation.h"
#include "support/fixture.h"
#include "support/game_start.h"
#include "support/world_builders.h"
#include "world/world.h"

namespace {

// One step: the clock moves past the 30 ms an object waits.
void Step(GameObject& object) {
  AdvanceTickCount(31);
  UpdateObject(object);
}

class UpdateTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    BuildAngleTables();
    player.possessedIndex = -1;  // as every level load leaves it
  }
};

// ---- Driving scenes as the play frame does ----

// The possession click: player becomes the object in slot i.
void Possess(int i) {
  player = objects[i];
  player.possessedIndex = i;
}

// One play frame: the clock moves on, the arrow-key control sets player's velocity, the possessed slot is
// parked outside the world, and player takes its step.
void PlayFrame(uint32_t milliseconds, const std::function<void()>& control) {
  AdvanceTickCount(milliseconds);
  control();
  if (player.possessedIndex != -1) {
    objects[player.possessedIndex] = player;
    objects[player.possessedIndex].position.x = -100.0f;
  }
  UpdateObject(player);
}

// Right held on a rock: roll only when the roll is free.
void PushRockRight() {
  const float s = float(player.speed);
  player.velocity = Vector2(s, 0);
  if (!CanMove(player, Vector2(s, 0))) player.velocity.x = 0;
}

// Right held on a key (or the creature): walk when free, else climb.
void WalkRight() {
  const float s = float(player.speed);
  player.velocity = Vector2(0, 0);
  if (int(player.position.x) < 1248 && CanMove(player, Vector2(s, 0))) {
    player.velocity.x = s;
  } else if (int(player.position.y) > 0 && CanMove(player, Vector2(0, -s))) {
    player.velocity.y = -s;
  }
}

// No key held on the creature.
void StandStill() { player.velocity = Vector2(0, 0); }

}  // namespace

// ---- The step clock ----

TEST_F(UpdateTest, StepsOnlyWhenMoreThanThirtyMillisecondsHavePassed) {
  GameObject key = Make(Key, 100, 100);
  key.velocity = Vector2(1, 0);
  key.lastStepTick = 1000;
  SetTickCount(1030);
  UpdateObject(key);
  EXPECT_EQ(key.position.x, 100);
  EXPECT_EQ(key.lastStepTick, 1000u);
  SetTickCount(1031);
  UpdateObject(key);
  EXPECT_EQ(key.position.x, 101);
  EXPECT_EQ(key.lastStepTick, 1031u);

  // The sum wraps at 32 bits: 30 ms after 0xFFFFFFF0 is 14.
  key.lastStepTick = 0xFFFFFFF0u;
  SetTickCount(14);
  UpdateObject(key);
  EXPECT_EQ(key.position.x, 101);
  SetTickCount(15);
  UpdateObject(key);
  EXPECT_EQ(key.position.x, 102);
}

TEST_F(UpdateTest, RespawnIsCheckedEvenWhenNoStepIsDue) {
  GameObject rock = Make(Rock, 64, 64);
  rock.position = Vector2(300, 300);
  rock.hidden = true;
  rock.hiddenSince = 1000;  // respawnDelay 5000
  SetTickCount(6000);
  rock.lastStepTick = 6000;
  UpdateObject(rock);
  EXPECT_TRUE(rock.hidden);
  SetTickCount(6001);
  UpdateObject(rock);
  EXPECT_FALSE(rock.hidden);
  EXPECT_EQ(rock.position, Vector2(64, 64));
  EXPECT_EQ(rock.lastStepTick, 6000u);  // no step was made
}

// ---- Each kind's step ----

TEST_F(UpdateTest, CreatureAnimatesAlwaysAndFallsOnlyWhenNotWalking) {
  GameObject creature = Make(BlueCreature, 100, 100);
  for (const int expected : {1, 2, 3, 0}) {
    Step(creature);
    EXPECT_EQ(creature.frame, expected);
  }
  EXPECT_EQ(creature.position, Vector2(100, 108));  // 2 per step while standing on nothing

  creature.velocity = Vector2(4, 0);
  Step(creature);
  EXPECT_EQ(creature.position, Vector2(104, 108));  // walking: no fall

  creature.velocity = Vector2(0, -4);
  Step(creature);
  EXPECT_EQ(creature.position, Vector2(104, 106));  // rises 4, falls 2

  // Standing on a floor (box bottom on the wall's top edge) it does not fall.
  Floor(10);
  creature.velocity = Vector2(0, 0);
  creature.position = Vector2(104, 290);
  Step(creature);
  EXPECT_EQ(creature.position.y, 290);
}

TEST_F(UpdateTest, CreatureWithAnotherKindsFrameRestartsItsWalk) {
  GameObject creature = Make(GreenCreature, 100, 100);
  creature.frame = 14;  // as a crashed airplane leaves it
  Step(creature);
  EXPECT_EQ(creature.frame, 0);
}

TEST_F(UpdateTest, RockRollsAgainstItsDirectionThroughSixteenFrames) {
  Floor(10);
  GameObject rock = Make(Rock, 100, 291);  // resting: box bottom 320
  rock.velocity = Vector2(-2, 0);
  rock.frame = 15;
  Step(rock);
  EXPECT_EQ(rock.frame, 0);
  EXPECT_EQ(rock.position, Vector2(98, 291));
  rock.velocity = Vector2(2, 0);
  Step(rock);
  EXPECT_EQ(rock.frame, 15);
  EXPECT_EQ(rock.position, Vector2(100, 291));
  rock.velocity = Vector2(0, 0);
  Step(rock);
  EXPECT_EQ(rock.frame, 15);
}

TEST_F(UpdateTest, RockAndScissorsFallToRestUpToThreePixelsAboveAWall) {
  Floor(20);  // top edge at 640
  for (const int32_t kind : {Rock, Scissors}) {
    GameObject object = Make(kind, 100, 600);  // box bottom 629
    Step(object);
    EXPECT_EQ(object.position.y, 604) << kind;
    Step(object);
    EXPECT_EQ(object.position.y, 608) << kind;
    Step(object);
    EXPECT_EQ(object.position.y, 608) << kind;  // box bottom 637: 4 more would enter the wall
  }
}

TEST_F(UpdateTest, ScissorsAdvanceInFourOfTheirEightFrames) {
  Floor(10);
  GameObject scissors = Make(Scissors, 400, 291);
  scissors.velocity = Vector2(-4, 0);
  const int leftFrames[] = {7, 6, 5, 4, 3, 2, 1, 0};
  const float leftX[] = {400, 400, 396, 392, 388, 384, 384, 384};
  for (int i = 0; i < 8; ++i) {
    Step(scissors);
    EXPECT_EQ(scissors.frame, leftFrames[i]) << i;
    EXPECT_EQ(scissors.position.x, leftX[i]) << i;
  }
  scissors.velocity = Vector2(4, 0);
  const int rightFrames[] = {1, 2, 3, 4, 5, 6, 7, 0};
  const float rightX[] = {384, 384, 388, 392, 396, 400, 400, 400};
  for (int i = 0; i < 8; ++i) {
    Step(scissors);
    EXPECT_EQ(scissors.frame, rightFrames[i]) << i;
    EXPECT_EQ(scissors.position.x, rightX[i]) << i;
  }
  EXPECT_EQ(scissors.position.y, 291);
}

TEST_F(UpdateTest, KeySpinsAndDriftsThroughWallsAndObjectsWithoutFalling) {
  levelGrid[4][3] = WALL_CELL;
  Add(Make(Rock, 160, 96));
  GameObject key = Make(Key, 100, 96);
  key.velocity = Vector2(4, 0);
  key.frame = 14;
  for (int i = 0; i < 20; ++i) Step(key);
  EXPECT_EQ(key.position, Vector2(180, 96));
  EXPECT_EQ(key.frame, 2);  // 14 + 20 round 16
  key.frame = 40;  // a reused slot keeps its old frame
  Step(key);
  EXPECT_EQ(key.frame, 0);
}

TEST_F(UpdateTest, LadderSlidesSidewaysOnly) {
  GameObject ladder = Make(Ladder, 100, 100);
  ladder.velocity = Vector2(-4, 0);
  Step(ladder);
  EXPECT_EQ(ladder.frame, 7);
  EXPECT_EQ(ladder.position, Vector2(96, 100));
  ladder.velocity = Vector2(0, -4);
  Step(ladder);
  EXPECT_EQ(ladder.frame, 7);
  EXPECT_EQ(ladder.position, Vector2(96, 100));
  ladder.velocity = Vector2(4, 4);
  Step(ladder);
  EXPECT_EQ(ladder.frame, 0);
  EXPECT_EQ(ladder.position, Vector2(100, 104));  // the whole velocity rides on the slide
}

TEST_F(UpdateTest, DoorsAndValuesWithoutAKindMakeNoStep) {
  for (const int32_t kind : {8, 6, 7}) {
    GameObject object = Make(kind, 100, 100);
    object.velocity = Vector2(4, 4);
    object.frame = 3;
    Step(object);
    EXPECT_EQ(object.position, Vector2(100, 100)) << kind;
    EXPECT_EQ(object.frame, 3) << kind;
    EXPECT_EQ(object.lastStepTick, GetTickCount()) << kind;  // the clock still counts the step
  }
}

// ---- The paper airplane ----

TEST_F(UpdateTest, PaperFliesSixPixelsAlongItsHeading) {
  GameObject paper = Make(Paper, 400, 400);
  paper.velocity = Vector2(6, 0);
  Step(paper);
  EXPECT_EQ(paper.position, Vector2(406, 400));
  paper.velocity = Vector2(-6, 180);
  Step(paper);
  EXPECT_NEAR(paper.position.x, 400, 1e-3);
  EXPECT_NEAR(paper.position.y, 400, 1e-3);
  paper.velocity = Vector2(6, 30);  // nose up 30 degrees: y falls as it climbs
  Step(paper);
  EXPECT_NEAR(paper.position.x, 400 + 6 * 0.866f, 1e-3);
  EXPECT_NEAR(paper.position.y, 400 - 6 * 0.5f, 1e-3);
}

TEST_F(UpdateTest, PaperFrameFollowsTheHeading) {
  GameObject paper = Make(Paper, 400, 400);  // not flying: only the frame changes
  const float headings[] = {0, 59.9f, 60, 120, 240, 300, 359.5f};
  const int frames[] = {0, 3, 4, 5, 13, 14, 17};
  for (int i = 0; i < 7; ++i) {
    paper.velocity = Vector2(0, headings[i]);
    Step(paper);
    EXPECT_EQ(paper.frame, frames[i]) << headings[i];
  }
  for (const float between : {61.0f, 90.0f, 119.0f, 241.0f, 299.0f}) {
    paper.frame = 9;
    paper.velocity = Vector2(0, between);
    Step(paper);
    EXPECT_EQ(paper.frame, 9) << between;
  }
  EXPECT_EQ(paper.position, Vector2(400, 400));
}

TEST_F(UpdateTest, HeadingOutsideTheTablesIsWrappedRoundTheCircle) {
  struct Case {
    float heading;
    int index;
  };
  for (const Case c : {Case{-4, 356}, Case{364, 4}, Case{-360.5f, 0}, Case{720.5f, 0}, Case{NAN, 0},
                       Case{INFINITY, 0}, Case{-INFINITY, 0}}) {
    GameObject paper = Make(Paper, 400, 400);
    paper.velocity = Vector2(6, c.heading);
    Step(paper);
    const float x = 400 + 6 * cosineTable[c.index];
    const float y = 400 - 6 * sineTable[c.index];
    EXPECT_EQ(paper.position, Vector2(x, y)) << c.heading;
  }
  // A heading far beyond the circle still flies one leg of length 6.
  GameObject paper = Make(Paper, 400, 400);
  paper.velocity = Vector2(6, -1e30f);
  Step(paper);
  EXPECT_NEAR(std::hypot(paper.position.x - 400, paper.position.y - 400), 6, 1e-3);
}

TEST_F(UpdateTest, FlyingPaperCrashesIntoAWallABandOrAnObjectItIsIn) {
  levelGrid[14][12] = WALL_CELL;  // square 448..480 by 384..416
  GameObject paper = Make(Paper, 400, 400);
  paper.position = Vector2(420, 392);  // box right 443: the next leg reaches 449
  paper.velocity = Vector2(6, 0);
  paper.possessedIndex = 3;  // the record is player, possessing slot 3
  SetTickCount(5000);
  UpdateObject(paper);
  EXPECT_EQ(paper.type, BlueCreature);
  EXPECT_TRUE(paper.hidden);
  EXPECT_EQ(paper.hiddenSince, 5000u);
  EXPECT_EQ(paper.possessedIndex, -1);
  EXPECT_EQ(paper.position, Vector2(420, 392));  // hidden where it crashed until the next call
  EXPECT_EQ(paper.bounds, MakeRect(8, 2, 23, 30));

  // Once the tick count has moved on, it is back where the level placed it.
  AdvanceTickCount(1);
  UpdateObject(paper);
  EXPECT_FALSE(paper.hidden);
  EXPECT_EQ(paper.position, Vector2(400, 400));

  GameObject edge = Make(Paper, 1250, 500);  // box right 1273: one leg to 1279, the next would reach 1285
  edge.velocity = Vector2(6, 0);
  Step(edge);
  EXPECT_EQ(edge.type, Paper);
  Step(edge);
  EXPECT_EQ(edge.type, BlueCreature);

  Add(Make(Rock, 600, 600));
  GameObject inside = Make(Paper, 600, 600);
  inside.velocity = Vector2(-6, 180);
  Step(inside);
  EXPECT_EQ(inside.type, BlueCreature);
}

TEST_F(UpdateTest, PaperThatDoesNotFlyNeverCrashes) {
  Add(Make(Rock, 600, 600));
  GameObject paper = Make(Paper, 600, 600);  // inside a rock: every move is refused
  Step(paper);
  EXPECT_EQ(paper.type, Paper);
  EXPECT_FALSE(paper.hidden);
  EXPECT_EQ(paper.position, Vector2(600, 600));
}

TEST_F(UpdateTest, PaperStopsFlyingWhenTheGroundIsNear) {
  Floor(20);  // top edge 640; the airplane's box bottom is position.y + 23
  GameObject paper = Make(Paper, 100, 610);  // 7 pixels above: it flies
  paper.velocity = Vector2(6, 0);
  Step(paper);
  EXPECT_EQ(paper.velocity.x, 6);
  paper.position.y = 614;  // 3 pixels above: the probe meets the wall
  Step(paper);
  EXPECT_EQ(paper.position, Vector2(112, 614));  // the leg is flown first
  EXPECT_EQ(paper.velocity.x, 0);
  EXPECT_EQ(paper.type, Paper);
}

// ---- Scenes ----

TEST_F(UpdateTest, AtSixtyFramesASecondAnObjectStepsEverySecondFrame) {
  GameObject key = Make(Key, 100, 100);
  key.velocity = Vector2(1, 0);
  SetTickCount(1000);
  key.lastStepTick = 1000;
  int steps = 0;
  for (int frame = 0; frame < 60; ++frame) {
    AdvanceTickCount(frame % 3 == 2 ? 16 : 17);  // 1000 ms over 60 presents
    const float before = key.position.x;
    UpdateObject(key);
    const bool stepped = key.position.x != before;
    EXPECT_EQ(stepped, frame % 2 == 1) << frame;
    steps += stepped;
  }
  EXPECT_EQ(steps, 30);
}

TEST_F(UpdateTest, AtSixtyFramesARockPushedAgainstARockOnTheFloorNeverGetsOver) {
  LoadLevel(TestFile("levels/sim_rocks.vem"));  // rocks at (320, 896) and (384, 896) on the floor
  Possess(0);
  const float restY = player.position.y;
  float afterControl = 0;
  for (int frame = 0; frame < 600; ++frame) {
    const uint32_t lastStep = player.lastStepTick;
    PlayFrame(16, [&] {
      PushRockRight();
      afterControl = player.position.y;
    });
    if (frame < 100) continue;  // rolled up against the other rock by now
    // Each frame's push climbs 2; the step, every second frame, falls the 4 back.
    if (player.lastStepTick != lastStep) {
      EXPECT_EQ(afterControl, restY - 4) << frame;
      EXPECT_EQ(player.position.y, restY) << frame;
    } else {
      EXPECT_EQ(afterControl, restY - 2) << frame;
      EXPECT_EQ(player.position.y, restY - 2) << frame;
    }
    EXPECT_EQ(player.position.x, 356) << frame;  // box edge to edge with the other rock's
  }
  EXPECT_EQ(objects[1].position, Vector2(384, 896));
}

TEST_F(UpdateTest, OnAFasterDisplayARockPushedIntoARockClimbsItAndComesDownTheOtherSide) {
  LoadLevel(TestFile("levels/sim_rocks.vem"));
  Possess(0);
  const float restY = player.position.y;
  float highest = restY;
  for (int frame = 0; frame < 400; ++frame) {
    PlayFrame(8, PushRockRight);  // 125 presents a second: four climbs of 2 per fall of 4
    highest = std::min(highest, player.position.y);
  }
  EXPECT_LE(highest, restY - 27);       // its box rose clear of the other rock's top
  EXPECT_GT(player.position.x, 384 + 29);  // and it went past it
  EXPECT_EQ(player.position.y, restY);     // back down on the floor beyond
  EXPECT_EQ(objects[1].position, Vector2(384, 896));
}

TEST_F(UpdateTest, PossessedKeyWalkedOntoTheDoorLoadsLevelTwoMidTest) {
  const WorkingDirectory inTests(TestFile(""));  // where the door finds our "level2.vem"
  LoadLevel("levels/sim_key_door.vem");  // key at (320, 896), door at (448, 896)
  Possess(0);
  int frame = 0;
  while (player.type == Key && frame < 200) {
    PlayFrame(16, WalkRight);
    ++frame;
  }
  // The frame that touched the door finished over level 2: its creature, its objects, its walls.
  EXPECT_EQ(player.type, BlueCreature);
  EXPECT_EQ(player.possessedIndex, -1);
  EXPECT_EQ(objectCount, 6);
  EXPECT_EQ(levelGrid[10][14], WALL_CELL);
  EXPECT_EQ(objects[5].type, Door);
  EXPECT_EQ(player.position.y, 160);
  EXPECT_GE(player.position.x, 224);  // the walk granted in that frame may carry it on
  // The game goes on in the new level: left alone, the creature falls there.
  for (int i = 0; i < 10; ++i) PlayFrame(16, StandStill);
  EXPECT_GT(player.position.y, 160);
  EXPECT_EQ(objectCount, 6);
}

TEST_F(UpdateTest, PaperLaunchedAtAWallFliesCrashesAndTheCreatureReappearsWhereTheAirplaneStarted) {
  LoadLevel(TestFile("levels/sim_paper.vem"));  // airplane in mid-air at (160, 320), wall column 20 ahead
  Possess(0);
  bool launched = false;
  PlayFrame(16, [&] {
    // Right held once on a resting airplane: launch to the right.
    if (!CanMove(player, Vector2(0, 4.0f)) || player.velocity.x == 0) player.velocity = Vector2(6.0f, 0.0f);
    launched = true;
  });
  ASSERT_TRUE(launched);
  int frame = 0;
  float farthest = player.position.x;
  while (!player.hidden && frame < 500) {
    farthest = player.position.x;
    PlayFrame(16, [] {});
    ++frame;
  }
  ASSERT_TRUE(player.hidden);
  EXPECT_EQ(player.type, BlueCreature);
  EXPECT_EQ(player.possessedIndex, -1);
  EXPECT_GT(farthest + 23 + 6, 640);  // the next leg would have entered the wall at x 640
  EXPECT_EQ(player.position.y, 320);  // level flight
  PlayFrame(16, StandStill);
  EXPECT_FALSE(player.hidden);
  EXPECT_EQ(player.position.y, 320);
  EXPECT_EQ(player.position.x, 160);
  EXPECT_EQ(objects[0].position.x, -100);  // the airplane itself is gone from play
}
