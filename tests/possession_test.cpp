// Possession: clicking objects in and out, the parked slot, the highest slot winning, leaving.
#include "game/game.h"
#include "platform/directsound.h"
#include "platform/fake/fake_audio.h"
#include "support/fixture.h"
#include "support/world_builders.h"
#include "world/startup.h"
#include "world/world.h"

namespace {

class PossessionTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(InitSound(nullptr));
    bounceSound = LoadSoundEffect(DataFile("bounce.wav"));
    ASSERT_NE(bounceSound, nullptr);
    SetObjectType(player, BlueCreature);
    player.position = Vector2(64, 64);
    player.possessedIndex = -1;
  }
  void TearDown() override {
    delete bounceSound;
    bounceSound = nullptr;
  }

  // One frame's click at world (x, y): the cursor is placed relative to the camera.
  static void ClickAt(float x, float y) {
    cursorX = static_cast<int32_t>(x - camera.x);
    cursorY = static_cast<int32_t>(y - camera.y);
    PossessOrLeave();
  }
};

TEST_F(PossessionTest, ClickingARockPutsTheCreatureIntoIt) {
  const int rock = Add(Rock, 320, 320);
  ClickAt(330, 330);
  EXPECT_EQ(player.type, Rock);
  EXPECT_EQ(player.possessedIndex, rock);
  EXPECT_EQ(player.position.x, 320.0f);
  EXPECT_EQ(objects[rock].position.x, -100.0f);  // parked: out of the world while player stands in for it
  EXPECT_EQ(objects[rock].position.y, 320.0f);
  EXPECT_EQ(FakePlayCount(bounceSound), 1);

  // Clicking the possessed object again takes it again: only the sound.
  player.position.x = 340;
  ClickAt(350, 330);
  EXPECT_EQ(player.possessedIndex, rock);
  EXPECT_EQ(player.position.x, 340.0f);
  EXPECT_EQ(FakePlayCount(bounceSound), 2);
}

TEST_F(PossessionTest, CreatureToRockToKeyToFloor) {
  const int rock = Add(Rock, 320, 320);
  const int key = Add(Key, 640, 320);
  ClickAt(330, 330);
  player.position.x = 300;  // the rock rolled a little while possessed
  ParkPossessed();
  EXPECT_EQ(objects[rock].position.x, -100.0f);

  ClickAt(650, 330);
  EXPECT_EQ(player.type, Key);
  EXPECT_EQ(player.possessedIndex, key);
  EXPECT_EQ(objects[rock].position.x, 300.0f);  // left where it rolled to
  EXPECT_EQ(objects[key].position.x, -100.0f);

  player.position = Vector2(700, 300);
  player.velocity = Vector2(4, 0);
  ClickAt(100, 100);  // empty floor: leave
  EXPECT_EQ(player.type, BlueCreature);
  EXPECT_EQ(player.possessedIndex, -1);
  EXPECT_EQ(player.position.x, 700.0f);  // the creature comes out at the key's top left
  EXPECT_EQ(player.position.y, 300.0f);
  EXPECT_EQ(player.velocity.x, 4.0f);
  EXPECT_EQ(player.bounds, MakeRect(8, 2, 23, 30));
  EXPECT_EQ(objects[key].type, Key);
  EXPECT_EQ(objects[key].position.x, 700.0f);  // the key stays where it was left, velocity and all
  EXPECT_EQ(objects[key].velocity.x, 4.0f);
  EXPECT_EQ(FakePlayCount(bounceSound), 2);

  ClickAt(100, 100);  // the creature clicking nothing: nothing happens
  EXPECT_EQ(player.possessedIndex, -1);
  EXPECT_EQ(FakePlayCount(bounceSound), 2);
}

TEST_F(PossessionTest, DoorsAndGreenCreaturesCountAsNothing) {
  const int rock = Add(Rock, 320, 320);
  Add(Door, 640, 320);
  const int green = Add(GreenCreature, 800, 320);
  objects[green].bounds = MakeRect(0, 0, 32, 32);
  ClickAt(330, 330);
  ClickAt(650, 330);
  EXPECT_EQ(player.type, BlueCreature);
  EXPECT_EQ(objects[rock].position.x, 320.0f);

  ClickAt(810, 330);  // nor can the creature get into them
  EXPECT_EQ(player.type, BlueCreature);
  EXPECT_EQ(FakePlayCount(bounceSound), 1);
}

TEST_F(PossessionTest, OfOverlappingObjectsTheHighestSlotWins) {
  const int held = Add(Scissors, 100, 100);
  const int lower = Add(Rock, 320, 320);
  const int higher = Add(Ladder, 310, 300);
  ClickAt(110, 110);
  ASSERT_EQ(player.possessedIndex, held);
  player.position.x = 120;

  ClickAt(330, 330);
  EXPECT_EQ(player.possessedIndex, higher);
  EXPECT_EQ(player.type, Ladder);
  EXPECT_EQ(objects[higher].position.x, -100.0f);
  // The one taken on the way and let go again, and the one held before, are back in the world.
  EXPECT_EQ(objects[lower].position.x, 320.0f);
  EXPECT_EQ(objects[lower].type, Rock);
  EXPECT_EQ(objects[held].position.x, 120.0f);
  EXPECT_EQ(FakePlayCount(bounceSound), 3);
}

TEST_F(PossessionTest, HiddenObjectsAndTheCameraCount) {
  camera = Vector2(600, 400);
  const int paper = Add(Paper, 900, 700);
  objects[paper].hidden = true;
  ClickAt(910, 710);  // the cursor is at (310, 310) on screen
  EXPECT_EQ(cursorX, 310);
  EXPECT_EQ(player.possessedIndex, paper);

  // The click's box is 1x1: the edge right of the paper's box is outside it.
  player = GameObject();
  SetObjectType(player, BlueCreature);
  player.possessedIndex = -1;
  objects[paper].position = Vector2(900, 700);
  ClickAt(900 + 23, 710);
  EXPECT_EQ(player.possessedIndex, -1);
  ClickAt(900 + 22, 710);
  EXPECT_EQ(player.possessedIndex, paper);
}

TEST_F(PossessionTest, ParkingKeepsTheSlotInStepWithPlayer) {
  const int rock = Add(Rock, 320, 320);
  ClickAt(330, 330);
  player.position = Vector2(360, 300);
  player.frame = 5;
  ParkPossessed();
  EXPECT_EQ(objects[rock].position.x, -100.0f);
  EXPECT_EQ(objects[rock].position.y, 300.0f);
  EXPECT_EQ(objects[rock].frame, 5);
  EXPECT_EQ(objects[rock].possessedIndex, rock);

  // Nothing possessed: no slot is touched.
  player.possessedIndex = -1;
  objects[rock].position.x = 50;
  ParkPossessed();
  EXPECT_EQ(objects[rock].position.x, 50.0f);
}

}  // namespace
