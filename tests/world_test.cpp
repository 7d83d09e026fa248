// World types: Vector2 and Rect operations, per-kind defaults, the angle tables.
#include "support/fixture.h"
#include "world/world.h"

using WorldTest = GameTest;

TEST_F(WorldTest, PlaceRectTruncatesExactSumsTowardZero) {
  EXPECT_EQ(PlaceRect(MakeRect(8, 2, 23, 30), 100.75f, 64.0f), MakeRect(108, 66, 123, 94));
  EXPECT_EQ(PlaceRect(MakeRect(2, 2, 29, 29), -100.5f, 0.5f), MakeRect(-98, 2, -71, 29));
  // -0.5 + 0 truncates to 0, not -1; a large offset is summed without float rounding.
  EXPECT_EQ(PlaceRect(MakeRect(0, 0, 1, 1), -0.5f, -1.5f), MakeRect(0, -1, 0, 0));
  EXPECT_EQ(PlaceRect(MakeRect(1, 0, 0, 0), 16777216.0f, 0.0f).left, 16777217);
}

TEST_F(WorldTest, IntersectRectNeedsPositiveArea) {
  Rect out;
  EXPECT_FALSE(IntersectRect(out, MakeRect(0, 0, 10, 10), MakeRect(10, 0, 20, 10)));  // edge to edge
  EXPECT_TRUE(IntersectRect(out, MakeRect(0, 0, 10, 10), MakeRect(9, 9, 20, 20)));
  EXPECT_EQ(out, MakeRect(9, 9, 10, 10));
  EXPECT_FALSE(IntersectRect(out, MakeRect(5, 5, 5, 9), MakeRect(0, 0, 10, 10)));  // empty box
  EXPECT_FALSE(IntersectRect(out, MakeRect(3, 3, 1, 1), MakeRect(0, 0, 10, 10)));  // inverted box
}

TEST_F(WorldTest, Vector2ArithmeticAndExactInequality) {
  Vector2 v = Vector2(1280, 960) / 2.0f;
  EXPECT_EQ(v.x, 640.0f);
  EXPECT_EQ(v.y, 480.0f);
  v += Vector2(0.5f, -1);
  EXPECT_FALSE(v != Vector2(640.5f, 479));
  EXPECT_TRUE(v != Vector2(640.5f, 479.0001f));
  EXPECT_TRUE(Vector2() == Vector2(0, 0));
}

TEST_F(WorldTest, SetObjectTypeAppliesTheKindsDefaults) {
  GameObject rock;
  rock.frame = 7;
  rock.hidden = true;
  rock.position = Vector2(3, 4);
  rock.velocity = Vector2(-2, 0);
  SetObjectType(rock, Rock);
  EXPECT_EQ(rock.type, Rock);
  EXPECT_FALSE(rock.hidden);
  EXPECT_EQ(rock.frame, 7);  // a rock keeps its frame
  EXPECT_EQ(rock.bounds, MakeRect(2, 2, 29, 29));
  EXPECT_EQ(rock.speed, 2);
  EXPECT_EQ(rock.respawnDelay, 5000);
  EXPECT_TRUE(rock.position == Vector2(3, 4));
  EXPECT_TRUE(rock.velocity == Vector2(-2, 0));

  GameObject ladder;
  ladder.frame = 5;
  SetObjectType(ladder, Ladder);
  EXPECT_EQ(ladder.frame, 0);  // only a ladder resets its frame
  EXPECT_EQ(ladder.bounds, MakeRect(0, 0, 32, 32));
  EXPECT_TRUE(ladder.centre == Vector2(16, 4));

  GameObject key;
  SetObjectType(key, Key);
  EXPECT_EQ(key.respawnDelay, 10000);
  EXPECT_EQ(key.bounds, MakeRect(0, 0, 31, 31));

  GameObject door;
  SetObjectType(door, Door);
  EXPECT_EQ(door.bounds, MakeRect(0, 0, 32, 32));  // a door must be touchable by a key
}

TEST_F(WorldTest, GreenCreatureHasTheBlueCreaturesDefaults) {
  GameObject blue, green;
  SetObjectType(blue, BlueCreature);
  SetObjectType(green, 9);
  EXPECT_EQ(green.type, GreenCreature);
  EXPECT_EQ(green.bounds, blue.bounds);
  EXPECT_TRUE(green.centre == Vector2(16, 17));
  EXPECT_EQ(green.speed, 4);
  EXPECT_EQ(green.respawnDelay, 0);
}

TEST_F(WorldTest, ValuesWithoutAKindChangeOnlyTypeAndHidden) {
  GameObject object;
  SetObjectType(object, Scissors);
  object.hidden = true;
  object.frame = 3;
  for (int32_t value : {6, 7, 42, -1}) {
    GameObject changed = object;
    SetObjectType(changed, value);
    EXPECT_EQ(changed.type, value);
    EXPECT_FALSE(changed.hidden);
    EXPECT_EQ(changed.bounds, object.bounds);
    EXPECT_TRUE(changed.centre == object.centre);
    EXPECT_EQ(changed.speed, object.speed);
    EXPECT_EQ(changed.respawnDelay, object.respawnDelay);
    EXPECT_EQ(changed.frame, 3);
  }
}

TEST_F(WorldTest, AngleTablesUseTheGamesPi) {
  BuildAngleTables();
  EXPECT_EQ(sineTable[0], 0.0f);
  EXPECT_EQ(cosineTable[0], 1.0f);
  EXPECT_NEAR(sineTable[30], 0.4999866f, 1e-7);
  EXPECT_EQ(sineTable[90], 1.0f);
  EXPECT_EQ(cosineTable[180], -1.0f);
  EXPECT_EQ(sineTable[270], -1.0f);
  EXPECT_NEAR(cosineTable[90], 0.0000463f, 1e-7);  // not 0: the axes are slightly off
  EXPECT_NEAR(sineTable[180], 0.0000927f, 1e-7);
}
