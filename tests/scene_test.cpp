// Drawing of the play frame: order, wall masks, per-kind frames and placements, key steps, sparkles.
#include <cstring>
#include <vector>

#include "game/game.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_graphics.h"
#include "platform/fake/fake_system.h"
#include "platform/graphics.h"
#include "support/fixture.h"
#include "support/world_builders.h"
#include "world/startup.h"
#include "world/world.h"

namespace {

class SceneTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(InitGraphics(FakeWindow(), 640, 480, true));
    ASSERT_EQ(CreateOffscreenPlainSurface(graphicsDevice, 1280, 960, &backgroundSurface), D3D_OK);
    const struct {
      Texture** texture;
      const char* file;
    } sheets[] = {
        {&blueTexture, "vems-blue.bmp"},       {&sparkleTexture, "vems-sparkle-blue.bmp"},
        {&greenTexture, "vems-green.bmp"},     {&doorTexture, "vemsdoor.bmp"},
        {&ladderTexture, "vemsladder.bmp"},    {&keyTexture, "vemskey.bmp"},
        {&keymanTexture, "vems-keyman.bmp"},   {&rockTexture, "vems-rock.bmp"},
        {&paperTexture, "VemsPaper-Airplane.bmp"}, {&scissorsTexture, "vems-scissors.bmp"},
        {&arrowTexture, "vems-arrow.bmp"},     {&wallsTexture, "vems-walls.bmp"},
    };
    for (const auto& sheet : sheets) {
      *sheet.texture = LoadTextureFromImage(DataFile(sheet.file), SPRITE_COLOUR_KEY);
      ASSERT_NE(*sheet.texture, nullptr) << sheet.file;
    }
    std::memset(levelGrid, '.', sizeof levelGrid);
    SetObjectType(player, BlueCreature);
    player.position = Vector2(320, 320);
    player.possessedIndex = -1;
    SetTickCount(1000);
    FakeClearLog();
  }

  // Draws through the sprite batch, as the scene does between its begin and end.
  template <typename Draw>
  static void InBatch(Draw draw) {
    SpriteBegin(spriteBatch, D3DXSPRITE_ALPHABLEND);
    draw();
    SpriteEnd(spriteBatch);
  }

  // The draws of one texture, in order.
  static std::vector<DrawRecord> DrawsOf(const Texture* texture) {
    std::vector<DrawRecord> found;
    for (const DrawRecord& draw : FakeDraws())
      if (draw.texture == texture) found.push_back(draw);
    return found;
  }
};

TEST_F(SceneTest, DrawsInLayersAndPresentsOnce) {
  levelGrid[5][5] = WALL_CELL;
  Add(Rock, 100, 100);
  backgroundScroll = Vector2(10.5f, 20);
  cursorX = 300;
  cursorY = 200;
  DrawScene();

  ASSERT_EQ(FakeCopies().size(), 1u);
  EXPECT_EQ(FakeCopies()[0].sourceRect, MakeRect(10, 20, 650, 500));
  EXPECT_EQ(FakeCopies()[0].targetRect, MakeRect(0, 0, 640, 480));
  EXPECT_EQ(FakeCopies()[0].target, backBuffer);
  EXPECT_EQ(FakePresentCount(), 1);

  const std::vector<DrawRecord>& draws = FakeDraws();
  ASSERT_EQ(draws.size(), 1u + 1u + 1u + 3u + 1u);  // wall, rock, creature, three sparkles, cursor
  EXPECT_EQ(draws[0].texture, wallsTexture);
  EXPECT_EQ(draws[1].texture, rockTexture);
  EXPECT_EQ(draws[2].texture, blueTexture);
  for (int i = 3; i < 6; ++i) EXPECT_EQ(draws[i].texture, sparkleTexture);
  EXPECT_EQ(draws.back().texture, arrowTexture);
  EXPECT_EQ(draws.back().x, 300.0f);
  EXPECT_EQ(draws.back().y, 200.0f);
}

TEST_F(SceneTest, FailedSceneDrawsNothingAndStepsNoKey) {
  const int key = Add(Key, 100, 100);
  objects[key].velocity = Vector2(4, 0);
  FakeFailBeginScene(true);
  DrawScene();
  EXPECT_TRUE(FakeDraws().empty());
  EXPECT_TRUE(FakeCopies().empty());
  EXPECT_EQ(FakePresentCount(), 0);
  EXPECT_EQ(objects[key].position.x, 100.0f);
}

TEST_F(SceneTest, WallTilesShowTheirNeighboursWithTheBorderAsWall) {
  levelGrid[0][0] = WALL_CELL;  // corner: the border above and to the left
  for (int c = 10; c <= 12; ++c)
    for (int r = 10; r <= 12; ++r) levelGrid[c][r] = WALL_CELL;
  levelGrid[20][29] = WALL_CELL;  // bottom row, walls beside it: right, left and the border below
  levelGrid[19][29] = levelGrid[21][29] = WALL_CELL;
  camera = Vector2(16, 8);
  InBatch([&] { DrawWalls(); });

  auto frameAt = [](int c, int r) {
    for (const DrawRecord& draw : FakeDraws())
      if (draw.x == 32.0f * c - 16 && draw.y == 32.0f * r - 8) return FakeFrameOf(draw, 32, 32, 16);
    return -1;
  };
  EXPECT_EQ(frameAt(0, 0), 6);
  EXPECT_EQ(frameAt(11, 11), 15);
  EXPECT_EQ(frameAt(10, 10), 1 + 8);
  EXPECT_EQ(frameAt(12, 11), 2 + 4 + 8);
  EXPECT_EQ(frameAt(20, 29), 1 + 4 + 8);
  EXPECT_EQ(FakeDraws().size(), 1u + 9u + 3u);  // every wall cell, on screen or not
}

TEST_F(SceneTest, EachKindByItsSheetFrameAndPlace) {
  camera = Vector2(100, 50);
  const struct {
    ObjectType type;
    Vector2 velocity;
    int frame;
    const Texture* const* texture;
    int frameWidth;
    int columns;
    int drawnFrame;
  } cases[] = {
      {BlueCreature, Vector2(0, 0), 3, &blueTexture, 32, 9, 0},
      {BlueCreature, Vector2(-4, 0), 3, &blueTexture, 32, 9, 5},
      {BlueCreature, Vector2(4, 0), 3, &blueTexture, 32, 9, 4},
      {Rock, Vector2(), 12, &rockTexture, 32, 16, 12},
      {Paper, Vector2(6, 300), 14, &paperTexture, 32, 18, 14},
      {Scissors, Vector2(), 6, &scissorsTexture, 32, 8, 6},
      {Key, Vector2(0, -4), 9, &keyTexture, 32, 16, 9},
      {Key, Vector2(-4, 0), 9, &keymanTexture, 32, 16, 0},
      {Key, Vector2(4, 0), 9, &keymanTexture, 32, 16, 1},
      {GreenCreature, Vector2(), 2, &greenTexture, 32, 5, 2},
  };
  for (const auto& c : cases) {
    FakeClearLog();
    GameObject object;
    SetObjectType(object, c.type);
    object.position = Vector2(300.7f, 200.2f);
    object.velocity = c.velocity;
    object.frame = c.frame;
    InBatch([&] { DrawObject(object); });
    ASSERT_EQ(FakeDraws().size(), 1u) << c.type;
    const DrawRecord& draw = FakeDraws()[0];
    EXPECT_EQ(draw.texture, *c.texture) << c.type;
    EXPECT_EQ(FakeFrameOf(draw, c.frameWidth, 32, c.columns), c.drawnFrame) << c.type;
    EXPECT_EQ(draw.x, 200.0f);
    EXPECT_EQ(draw.y, 150.0f);
  }
}

TEST_F(SceneTest, DoorStandsThreePixelsLowerAndHiddenOrNamelessObjectsAreNotDrawn) {
  GameObject door;
  SetObjectType(door, Door);
  door.position = Vector2(64, 64);
  InBatch([&] { DrawObject(door); });
  ASSERT_EQ(FakeDraws().size(), 1u);
  EXPECT_EQ(FakeDraws()[0].texture, doorTexture);
  EXPECT_EQ(FakeDraws()[0].y, 67.0f);
  EXPECT_EQ(FakeFrameOf(FakeDraws()[0], 32, 32, 2), 0);

  FakeClearLog();
  GameObject rock;
  SetObjectType(rock, Rock);
  rock.hidden = true;
  InBatch([&] { DrawObject(rock); });
  GameObject nameless;
  SetObjectType(nameless, 7);
  InBatch([&] { DrawObject(nameless); });
  EXPECT_TRUE(FakeDraws().empty());
}

TEST_F(SceneTest, LadderIsAColumnOfEightPixelSlices) {
  GameObject ladder;
  SetObjectType(ladder, Ladder);
  ladder.position = Vector2(64, 96);
  ladder.bounds.bottom = 40;
  ladder.frame = 3;
  camera = Vector2(0, 16);
  InBatch([&] { DrawObject(ladder); });
  const std::vector<DrawRecord> slices = DrawsOf(ladderTexture);
  ASSERT_EQ(slices.size(), 5u);
  for (size_t i = 0; i < slices.size(); ++i) {
    EXPECT_EQ(slices[i].x, 64.0f);
    EXPECT_EQ(slices[i].y, 80.0f + 8.0f * i);
    EXPECT_EQ(FakeFrameOf(slices[i], 32, 8, 8), 3);
  }

  FakeClearLog();
  ladder.bounds.bottom = 448;
  InBatch([&] { DrawObject(ladder); });
  EXPECT_EQ(DrawsOf(ladderTexture).size(), 56u);

  FakeClearLog();
  ladder.bounds.bottom = 32;
  ladder.position.y = 96.5f;  // a fractional top adds a slice
  InBatch([&] { DrawObject(ladder); });
  EXPECT_EQ(DrawsOf(ladderTexture).size(), 5u);

  FakeClearLog();
  ladder.hidden = true;
  InBatch([&] { DrawObject(ladder); });
  EXPECT_TRUE(FakeDraws().empty());
}

TEST_F(SceneTest, KeysAreSteppedJustBeforeTheyAreDrawn) {
  const int key = Add(Key, 100, 100);
  objects[key].velocity = Vector2(4, 0);
  const int rock = Add(Rock, 200, 100);
  objects[rock].velocity = Vector2(2, 0);  // left alone: never stepped
  SetTickCount(5000);
  DrawScene();
  EXPECT_EQ(objects[key].position.x, 104.0f);
  EXPECT_EQ(objects[rock].position.x, 200.0f);
  const std::vector<DrawRecord> keyman = DrawsOf(keymanTexture);
  ASSERT_EQ(keyman.size(), 1u);
  EXPECT_EQ(keyman[0].x, 104.0f);

  FakeClearLog();
  DrawScene();  // the same tick: the key's clock has not run 30 ms
  EXPECT_EQ(objects[key].position.x, 104.0f);
}

TEST_F(SceneTest, SparklesGlitterInsidePlayersBox) {
  camera = Vector2(100, 100);
  for (int frame = 0; frame < 50; ++frame) {
    FakeClearLog();
    InBatch([&] { DrawSparkles(); });
    const std::vector<DrawRecord> sparkles = DrawsOf(sparkleTexture);
    ASSERT_EQ(sparkles.size(), 3u);
    for (const DrawRecord& s : sparkles) {
      EXPECT_GE(s.x, 320 - 100 + 8);
      EXPECT_LT(s.x, 320 - 100 + 23);
      EXPECT_GE(s.y, 320 - 100 + 2);
      EXPECT_LT(s.y, 320 - 100 + 30);
      EXPECT_LT(FakeFrameOf(s, 3, 3, 4), 4);
    }
  }
}

TEST_F(SceneTest, PlayerWithoutABoxGetsNoSparkles) {
  // A creature never placed by a level (its level file could not be read) has an empty box.
  player = GameObject();
  InBatch([&] { DrawSparkles(); });
  EXPECT_TRUE(FakeDraws().empty());
}

}  // namespace
