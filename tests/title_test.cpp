// The title screen: what it draws, which button lights up, what clicks do, and Escape on both screens.
#include <cstring>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/fake/fake_audio.h"
#include "platform/fake/fake_graphics.h"
#include "platform/fake/fake_input.h"
#include "platform/fake/fake_system.h"
#include "platform/graphics.h"
#include "support/game_start.h"
#include "world/startup.h"
#include "world/world.h"

namespace {

// The world as a level left it, to tell levels apart and to see that nothing moved.
struct WorldSnapshot {
  char grid[GRID_COLUMNS][GRID_ROWS];
  std::vector<GameObject> slots;
  GameObject body;
  Vector2 view;
};

WorldSnapshot Snapshot() {
  WorldSnapshot s;
  std::memcpy(s.grid, levelGrid, sizeof levelGrid);
  s.slots.assign(objects, objects + objectCount);
  s.body = player;
  s.view = camera;
  return s;
}

bool SameGrid(const WorldSnapshot& a, const WorldSnapshot& b) {
  return std::memcmp(a.grid, b.grid, sizeof a.grid) == 0;
}

bool SameObject(const GameObject& a, const GameObject& b) {
  return a.type == b.type && a.position == b.position && a.velocity == b.velocity && a.frame == b.frame &&
         a.hidden == b.hidden && a.possessedIndex == b.possessedIndex && a.bounds == b.bounds;
}

bool SameWorld(const WorldSnapshot& a, const WorldSnapshot& b) {
  if (!SameGrid(a, b) || a.slots.size() != b.slots.size() || !SameObject(a.body, b.body)) return false;
  for (size_t i = 0; i < a.slots.size(); ++i) {
    if (!SameObject(a.slots[i], b.slots[i])) return false;
  }
  return a.view == b.view;
}

// The frame a button was drawn with in the last frame's draws (-1 when it was not drawn).
int ButtonFrame(const std::string& sheet, int width) {
  int frame = -1;
  for (const DrawRecord& draw : FakeDraws()) {
    if (draw.sheet == sheet) frame = FakeFrameOf(draw, width, 34, 1);
  }
  return frame;
}

class TitleTest : public StartedGameTest {
 protected:
  // The highlight of Play with the cursor at (x, y).
  int PlayFrameAt(int x, int y) {
    MoveCursorTo(x, y);
    FakeClearLog();
    Frame();
    return ButtonFrame("vems-btn-play.bmp", 118);
  }
  // One frame clicking at (x, y); the button stays held.
  void ClickAt(int x, int y) {
    MoveCursorTo(x, y);
    FakeSetMouseButton(0, true);
    Frame();
  }
};

TEST_F(TitleTest, DrawsBackgroundTitleButtonsAndCursorLast) {
  Frame();
  ASSERT_EQ(FakeCopies().size(), 1u);
  EXPECT_EQ(FakeCopies()[0].source, backgroundSurface);
  EXPECT_EQ(FakeCopies()[0].target, backBuffer);
  EXPECT_EQ(FakeCopies()[0].sourceRect, MakeRect(0, 0, 640, 480));
  EXPECT_EQ(FakeCopies()[0].targetRect, MakeRect(0, 0, 640, 480));

  const std::vector<DrawRecord>& draws = FakeDraws();
  ASSERT_EQ(draws.size(), 6u);
  const char* sheets[] = {"vems-title.bmp",       "vems-btn-play.bmp", "vems-btn-setup.bmp",
                          "vems-btn-credits.bmp", "vems-btn-exit.bmp", "vems-arrow.bmp"};
  const float xs[] = {77, 154, 144, 343, 373, 320};
  const float ys[] = {77, 316, 390, 316, 390, 240};
  for (size_t i = 0; i < draws.size(); ++i) {
    SCOPED_TRACE(sheets[i]);
    EXPECT_EQ(draws[i].sheet, sheets[i]);
    EXPECT_EQ(draws[i].x, xs[i]);
    EXPECT_EQ(draws[i].y, ys[i]);
  }
  EXPECT_EQ(draws[0].source, MakeRect(0, 0, 486, 186));
  EXPECT_EQ(draws[5].source, MakeRect(0, 0, 16, 16));
  // At the start the cursor is on no button: each shows its normal look, the top cell of its sheet.
  const int widths[] = {118, 138, 168, 108};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(draws[i + 1].source, MakeRect(0, 0, widths[i], 34)) << sheets[i + 1];
  EXPECT_EQ(FakePresentCount(), 1);
}

TEST_F(TitleTest, ButtonLightsUpOnlyInsideItsRectangle) {
  EXPECT_EQ(PlayFrameAt(154, 316), 1);
  EXPECT_EQ(PlayFrameAt(271, 349), 1);
  EXPECT_EQ(PlayFrameAt(272, 316), 0);  // right edge lies outside
  EXPECT_EQ(PlayFrameAt(154, 350), 0);  // bottom edge lies outside
  EXPECT_EQ(PlayFrameAt(153, 316), 0);
  MoveCursorTo(480, 423);
  FakeClearLog();
  Frame();
  EXPECT_EQ(ButtonFrame("vems-btn-exit.bmp", 108), 1);
  EXPECT_EQ(ButtonFrame("vems-btn-credits.bmp", 168), 0);
  EXPECT_EQ(gameState, Title);  // no button held: nothing acts
}

TEST_F(TitleTest, PlayLoadsTheFirstLevel) {
  const WorldSnapshot second = Snapshot();
  ClickAt(200, 330);
  EXPECT_EQ(gameState, Playing);
  EXPECT_EQ(FakePlayCount(stepSound), 1);
  const WorldSnapshot clicked = Snapshot();
  LoadLevel("level1.vem");
  EXPECT_TRUE(SameWorld(clicked, Snapshot()));
  EXPECT_FALSE(SameGrid(clicked, second));
}

TEST_F(TitleTest, SetupAndCreditsPlayTheLevelLoadedAtStart) {
  const WorldSnapshot atStart = Snapshot();
  ClickAt(150, 400);  // Setup
  EXPECT_EQ(gameState, Playing);
  EXPECT_TRUE(SameWorld(atStart, Snapshot()));
  EXPECT_EQ(FakePlayCount(stepSound), 1);

  gameState = Title;
  ClickAt(500, 320);  // Credits
  EXPECT_EQ(gameState, Playing);
  EXPECT_TRUE(SameWorld(atStart, Snapshot()));
  EXPECT_EQ(FakePlayCount(stepSound), 2);
  EXPECT_EQ(FakePendingMessages(), 0);
}

TEST_F(TitleTest, HeldButtonCarriesIntoTheFirstPlayFrame) {
  // A rock right under the Setup button: the click that starts play possesses it in the next frame.
  camera = Vector2(0, 0);
  objectCount = 1;
  objects[0] = GameObject();
  objects[0].position = Vector2(150, 390);
  SetObjectType(objects[0], Rock);
  player.possessedIndex = -1;
  ClickAt(160, 400);
  ASSERT_EQ(gameState, Playing);
  EXPECT_EQ(FakePlayCount(bounceSound), 0);
  Frame();
  EXPECT_EQ(player.possessedIndex, 0);
  EXPECT_EQ(player.type, Rock);
  EXPECT_EQ(FakePlayCount(bounceSound), 1);
}

TEST_F(TitleTest, FailedSceneIgnoresClicksButNotEscape) {
  FakeFailBeginScene(true);
  ClickAt(200, 330);  // on Play
  EXPECT_EQ(gameState, Title);
  EXPECT_TRUE(FakeDraws().empty());
  EXPECT_EQ(FakePresentCount(), 0);
  EXPECT_EQ(FakePlayCount(stepSound), 0);
  EXPECT_EQ(FakePendingMessages(), 0);

  FakeSetLiveEscape(true);
  Frame();
  EXPECT_EQ(FakePendingMessages(), 1);  // the destroy request that ends the loop
  EXPECT_EQ(FakePlayCount(stepSound), 1);
}

TEST_F(TitleTest, EscapeInPlayWaitsForReleaseThenShowsTheTitleWithTheLevelAsItWas) {
  ClickAt(150, 400);  // Setup
  FakeSetMouseButton(0, false);
  MoveCursorTo(320, 20);  // away from every object and button
  Frame();
  ASSERT_EQ(gameState, Playing);

  FakeClearLog();
  FakeReleaseLiveEscapeAfter(50);
  const int soundsBefore = FakePlayCount(stepSound);
  Frame();
  EXPECT_EQ(gameState, Title);
  EXPECT_GT(FakeLiveEscapeReads(), 50);  // it kept reading the live key until the release
  EXPECT_EQ(FakeBeginSceneCount(), 1);   // the play scene of this frame, nothing while waiting
  EXPECT_EQ(FakePlayCount(stepSound), soundsBefore);
  const WorldSnapshot left = Snapshot();

  // The title that follows does not take the same Escape as a quit.
  Frame();
  EXPECT_EQ(FakePendingMessages(), 0);
  EXPECT_TRUE(SameWorld(left, Snapshot()));

  ClickAt(500, 320);  // Credits resumes it
  EXPECT_EQ(gameState, Playing);
  EXPECT_TRUE(SameWorld(left, Snapshot()));
}

}  // namespace
