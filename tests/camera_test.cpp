// The camera follow: dead zone, one step per axis per frame, limits tested before the step, background wrap.
#include "game/game.h"
#include "support/fixture.h"
#include "world/world.h"

namespace {

class CameraTest : public GameTest {
 protected:
  // player of the given speed whose screen position (relative to the camera) is (sx, sy).
  void PlaceOnScreen(float sx, float sy, int32_t speed) {
    player.speed = speed;
    player.position = Vector2(camera.x + sx, camera.y + sy);
  }
};

TEST_F(CameraTest, InsideTheDeadZoneNothingMoves) {
  camera = Vector2(320, 240);
  backgroundScroll = Vector2(160, 120);
  for (const Vector2& at : {Vector2(160, 120), Vector2(448, 328), Vector2(300, 200)}) {
    PlaceOnScreen(at.x, at.y, 4);
    UpdateCamera();
    EXPECT_EQ(camera.x, 320.0f);
    EXPECT_EQ(camera.y, 240.0f);
  }
  EXPECT_EQ(backgroundScroll.x, 160.0f);
  EXPECT_EQ(backgroundScroll.y, 120.0f);
}

TEST_F(CameraTest, StepsOneSpeedPerAxisAndTheBackgroundHalfOfIt) {
  camera = Vector2(320, 240);
  backgroundScroll = Vector2(160, 120);
  PlaceOnScreen(100, 400, 4);  // left of the zone and below it
  UpdateCamera();
  EXPECT_EQ(camera.x, 316.0f);
  EXPECT_EQ(backgroundScroll.x, 158.0f);
  EXPECT_EQ(camera.y, 244.0f);
  EXPECT_EQ(backgroundScroll.y, 122.0f);

  // A rock's speed 2 moves the background by 1.
  PlaceOnScreen(500, 50, 2);
  UpdateCamera();
  EXPECT_EQ(camera.x, 318.0f);
  EXPECT_EQ(backgroundScroll.x, 159.0f);
  EXPECT_EQ(camera.y, 242.0f);
  EXPECT_EQ(backgroundScroll.y, 121.0f);
}

TEST_F(CameraTest, CatchesUpWithAFarObjectOverSeveralFrames) {
  camera = Vector2(0, 0);
  player.speed = 4;
  player.position = Vector2(1000, 100);
  for (int frame = 0; frame < 200; ++frame) UpdateCamera();
  // It stops once the object is back on the zone's edge.
  EXPECT_EQ(camera.x, 552.0f);
  EXPECT_EQ(camera.y, 0.0f);
}

TEST_F(CameraTest, LimitsAreTestedBeforeTheStepSoItOvershoots) {
  camera = Vector2(2, 478);
  PlaceOnScreen(10, 400, 4);
  UpdateCamera();
  EXPECT_EQ(camera.x, -2.0f);
  EXPECT_EQ(camera.y, 482.0f);

  camera = Vector2(638, 0);
  PlaceOnScreen(600, 100, 4);
  UpdateCamera();
  EXPECT_EQ(camera.x, 642.0f);
  UpdateCamera();  // past the limit: no further step, even with the object still outside the zone
  EXPECT_EQ(camera.x, 642.0f);
}

TEST_F(CameraTest, BackgroundWrapsRoundItsWindow) {
  camera = Vector2(320, 240);
  backgroundScroll = Vector2(1, 1);
  PlaceOnScreen(100, 50, 4);
  UpdateCamera();
  EXPECT_EQ(backgroundScroll.x, 639.0f);
  EXPECT_EQ(backgroundScroll.y, 479.0f);

  backgroundScroll = Vector2(639, 479);
  PlaceOnScreen(500, 400, 4);
  UpdateCamera();
  EXPECT_EQ(backgroundScroll.x, 1.0f);
  EXPECT_EQ(backgroundScroll.y, 1.0f);
}

}  // namespace
