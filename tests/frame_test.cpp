// The frame skeleton and the loop: cursor motion, one message per turn, how the loop ends, no-device frames.
#include "game/game.h"
#include "platform/fake/fake_audio.h"
#include "platform/fake/fake_graphics.h"
#include "platform/fake/fake_input.h"
#include "platform/fake/fake_system.h"
#include "platform/graphics.h"
#include "support/game_start.h"
#include "world/startup.h"

namespace {

using FrameTest = StartedGameTest;

TEST_F(FrameTest, CursorFollowsTheMouseAndStaysOnScreen) {
  EXPECT_EQ(cursorX, 320);
  EXPECT_EQ(cursorY, 240);
  FakeMoveMouse(15, -40);
  Frame();
  EXPECT_EQ(cursorX, 335);
  EXPECT_EQ(cursorY, 200);
  FakeMoveMouse(-5000, -5000);
  Frame();
  EXPECT_EQ(cursorX, 0);
  EXPECT_EQ(cursorY, 0);
  FakeMoveMouse(5000, 5000);
  Frame();
  EXPECT_EQ(cursorX, 639);
  EXPECT_EQ(cursorY, 479);
  // The play frame moves it the same way.
  gameState = Playing;
  FakeMoveMouse(-700, 3);
  Frame();
  EXPECT_EQ(cursorX, 0);
  EXPECT_EQ(cursorY, 479);
}

TEST_F(FrameTest, FrameWithoutDeviceDoesNothingButHideTheCursor) {
  graphicsDevice = nullptr;
  const int reads = FakeDeviceReads();
  FakeMoveMouse(50, 50);
  FakeSetLiveEscape(true);
  Frame();
  EXPECT_FALSE(FakeSystemCursorShown());
  EXPECT_EQ(FakeDeviceReads(), reads);  // not even polled
  EXPECT_EQ(cursorX, 320);
  EXPECT_EQ(FakeBeginSceneCount(), 0);
  EXPECT_EQ(FakeLiveEscapeReads(), 0);
  EXPECT_EQ(FakePendingMessages(), 0);
}

TEST_F(FrameTest, LoopHandlesOneMessagePerTurnAndEndsAfterTheDestroyTurnsFrame) {
  // Three messages the game ignores, then the close box: four turns, four frames.
  FakePushMessage(WM_NULL);
  FakePushMessage(WM_NULL);
  FakePushMessage(WM_NULL);
  FakePushMessage(WM_DESTROY);
  RunMessageLoop(FakeWindow());
  EXPECT_TRUE(quitRequested);
  EXPECT_EQ(FakePresentCount(), 4);
  EXPECT_EQ(FakePendingMessages(), 0);
}

TEST_F(FrameTest, EscapeOnTheTitleEndsTheLoopAfterTheNextTurn) {
  // Turn 1: the title sees Escape and posts the destroy request. Turn 2 takes it and still runs its
  // frame, which sees Escape again; then the loop ends.
  FakeSetLiveEscape(true);
  RunMessageLoop(FakeWindow());
  EXPECT_TRUE(quitRequested);
  EXPECT_EQ(FakePresentCount(), 2);
  EXPECT_EQ(FakePendingMessages(), 1);  // the second request is never taken
  EXPECT_EQ(FakePlayCount(stepSound), 2);
}

TEST_F(FrameTest, ExitHeldActsAgainInTheOneFurtherFrame) {
  MoveCursorTo(400, 400);
  FakeSetMouseButton(0, true);
  RunMessageLoop(FakeWindow());
  EXPECT_EQ(FakePresentCount(), 2);
  EXPECT_EQ(FakePendingMessages(), 1);
  EXPECT_EQ(FakePlayCount(stepSound), 2);
  EXPECT_EQ(gameState, Title);
}

}  // namespace
