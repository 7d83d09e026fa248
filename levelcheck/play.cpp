// Playing a level over the fakes: starting it, one step of the steps format, saving and restoring play.
#include "levelcheck/play.h"

#include <algorithm>

#include "game/game.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_game.h"
#include "platform/fake/fake_graphics.h"
#include "platform/fake/fake_input.h"
#include "platform/fake/fake_system.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/picture_size.h"
#include "world/startup.h"

namespace {

constexpr int DISPLAY_HZ = 60;  // a 60 Hz display, as the level tests play on: frames 1/60 s apart
// The file name the key-into-door rule loads; the level under test is never loaded by that same name.
const char* const NEXT_LEVEL = "level2.vem";

// The screen in world pixels.
Rect ScreenBox() {
  const int32_t left = static_cast<int32_t>(camera.x);
  const int32_t top = static_cast<int32_t>(camera.y);
  return MakeRect(left, top, left + kPictureWidth, top + kPictureHeight);
}

Rect BoxOf(const GameObject& object) { return PlaceRect(object.bounds, object.position.x, object.position.y); }

void HoldArrows(unsigned arrows) {
  FakeSetKey(DIK_LEFT, (arrows & ARROW_LEFT) != 0);
  FakeSetKey(DIK_RIGHT, (arrows & ARROW_RIGHT) != 0);
  FakeSetKey(DIK_UP, (arrows & ARROW_UP) != 0);
  FakeSetKey(DIK_DOWN, (arrows & ARROW_DOWN) != 0);
}

// One frame's click on screen (x, y) with those arrows held; the button is let go for the next frame.
void ClickScreen(int x, int y, unsigned arrows = 0) {
  HoldArrows(arrows);
  FakeMoveCursorTo(x, y);
  FakeSetMouseButton(0, true);
  FakeGameFrame();
  FakeSetMouseButton(0, false);
}

// The first screen spot, in a 16-pixel raster from the top left, that no object's box covers.
bool FreeSpot(int& x, int& y) {
  const Rect screen = ScreenBox();
  for (y = 8; y < kPictureHeight; y += 16) {
    for (x = 8; x < kPictureWidth; x += 16) {
      const Rect spot = MakeRect(screen.left + x, screen.top + y, screen.left + x + 1, screen.top + y + 1);
      bool covered = false;
      Rect cut;
      for (int i = 0; i < objectCount && !covered; ++i) covered = IntersectRect(cut, spot, BoxOf(SlotAtItsPlace(i)));
      if (!covered) return true;
    }
  }
  return false;
}

const int KEY_OF_DIGIT[] = {0, 0, 0, DIK_3, DIK_4, DIK_5, DIK_6};

}  // namespace

StepOutcome PlayFrames(const LevelRun& run, unsigned arrows, int frames) {
  HoldArrows(arrows);
  for (int i = 0; i < frames; ++i) {
    FakeGameFrame();
    if (DoorReached(run)) return StepOutcome::ReachedDoor;
  }
  return StepOutcome::Played;
}

LevelRun StartLevel(const std::string& file) {
  ResetAllState();
  // The rules need the device (a frame without one does nothing, and keys step inside the drawn scene),
  // the input layer and the airplane's angle tables. Pictures and sounds change nothing in play; without
  // them the fakes log no draw and no sound, so a long search keeps its memory and its pace.
  InitGraphics(FakeWindow(), kPictureWidth, kPictureHeight, fullScreen);
  InitInput(FakeWindow());
  BuildAngleTables();
  FakeSetDisplay(DISPLAY_HZ, true);
  FakeGameFrame();

  LevelRun run;
  run.path = file == NEXT_LEVEL ? "./" + file : file;
  LoadLevel(run.path);
  gameState = Playing;
  for (int i = 0; i < objectCount; ++i) run.slotKinds.push_back(objects[i].type);
  return run;
}

bool DoorReached(const LevelRun& run) { return loadedLevelFile != run.path; }

int ClickedSlot(const LevelRun& run, ObjectType kind, int number) {
  int seen = 0;
  for (size_t i = 0; i < run.slotKinds.size(); ++i) {
    if (run.slotKinds[i] == kind && ++seen == number) return static_cast<int>(i);
  }
  return -1;
}

int SlotNumber(const LevelRun& run, int slot) {
  return static_cast<int>(std::count(run.slotKinds.begin(), run.slotKinds.begin() + slot + 1, run.slotKinds[slot]));
}

std::string SlotName(const LevelRun& run, int slot) {
  return std::string(KindWord(run.slotKinds[slot])) + " " + std::to_string(SlotNumber(run, slot));
}

const GameObject& SlotAtItsPlace(int slot) { return slot == player.possessedIndex ? player : objects[slot]; }

bool OnScreen(const GameObject& object) {
  Rect cut;
  return IntersectRect(cut, BoxOf(object), ScreenBox());
}

int ScreenX(float worldX) { return static_cast<int>(worldX - camera.x); }
int ScreenY(float worldY) { return static_cast<int>(worldY - camera.y); }

StepOutcome PlayStep(const LevelRun& run, const Step& step) {
  switch (step.kind) {
    case StepKind::Click: {
      const int slot = ClickedSlot(run, step.objectKind, step.number);
      if (slot < 0) return StepOutcome::NoSuchObject;
      // The middle of the part of its box that is on screen: all of it, unless it reaches off screen.
      const Rect screen = ScreenBox();
      Rect seen;
      if (!IntersectRect(seen, BoxOf(SlotAtItsPlace(slot)), screen)) return StepOutcome::OffScreen;
      ClickScreen((seen.left + seen.right) / 2 - screen.left, (seen.top + seen.bottom) / 2 - screen.top);
      return DoorReached(run) ? StepOutcome::ReachedDoor : StepOutcome::Played;
    }
    case StepKind::Leave: {
      int x = 0;
      int y = 0;
      if (!FreeSpot(x, y)) return StepOutcome::NoFreeSpot;
      ClickScreen(x, y, step.arrows);
      return DoorReached(run) ? StepOutcome::ReachedDoor : StepOutcome::Played;
    }
    case StepKind::Hold:
      return PlayFrames(run, step.arrows, step.frames);
    case StepKind::Press: {
      HoldArrows(0);
      const int key = KEY_OF_DIGIT[std::clamp(step.digit, 0, 6)];
      FakeSetKey(key, true);
      FakeGameFrame();
      FakeSetKey(key, false);
      return DoorReached(run) ? StepOutcome::ReachedDoor : StepOutcome::Played;
    }
    case StepKind::Wait:
      return PlayFrames(run, 0, step.frames);
  }
  return StepOutcome::Played;
}

PlayState SaveState() {
  PlayState state;
  state.objects.assign(objects, objects + objectCount);
  state.player = player;
  state.camera = camera;
  state.backgroundScroll = backgroundScroll;
  state.cursorX = cursorX;
  state.cursorY = cursorY;
  state.micros = FakeMicroseconds();
  return state;
}

void RestoreState(const PlayState& state) {
  std::copy(state.objects.begin(), state.objects.end(), objects);
  objectCount = static_cast<int32_t>(state.objects.size());
  player = state.player;
  camera = state.camera;
  backgroundScroll = state.backgroundScroll;
  cursorX = state.cursorX;
  cursorY = state.cursorY;
  SetTickCount(0);
  AdvanceFakeMicroseconds(state.micros);
  // A fresh pacer: saved states lie on the display's retraces, and the first present after the clock is
  // set back paces exactly as the presents of an unbroken run do.
  FakeSetDisplay(DISPLAY_HZ, true);
}
