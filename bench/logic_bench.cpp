// Cost of the play frame's logic on level 2, the creature walking: the whole frame on the fakes (whose
// drawing only records what was asked), and the play steps alone with the drawing left out.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include "game/game.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_graphics.h"
#include "platform/fake/fake_input.h"
#include "platform/fake/fake_system.h"
#include "platform/input.h"
#include "simulation/simulation.h"
#include "world/startup.h"
#include "world/world.h"

namespace {

constexpr int kWalkFrames = 90;  // the creature turns round this often, so it never stands at a wall for long

// The program's start in data/ on the fakes, straight into play.
bool StartOnFakes() {
  static bool started = false;
  if (started) return true;
  if (chdir(VEMS_SOURCE_DIR "/data") != 0) return false;
  LoadLevel("level2.vem");
  if (!InitGame(FakeWindow())) return false;
  gameState = Playing;
  started = true;
  return true;
}

// Right and left in turn, with the clock at about 60 frames a second.
void NextFrameInput(int frame) {
  if (frame % kWalkFrames == 0) {
    const bool right = (frame / kWalkFrames) % 2 == 0;
    FakeSetKey(DIK_RIGHT, right);
    FakeSetKey(DIK_LEFT, !right);
  }
  AdvanceTickCount(frame % 3 == 0 ? 16 : 17);
}

void PlayFrameOnFakes(benchmark::State& state) {
  if (!StartOnFakes()) return state.SkipWithError("the game did not start in data/");
  int frame = 0;
  for (auto _ : state) {
    NextFrameInput(frame++);
    FakeClearLog();  // the fake keeps every draw
    GameFrame(FakeWindow());
  }
}
BENCHMARK(PlayFrameOnFakes);

// GameFrame's play steps in its order, without DrawScene but with the key steps it makes.
void PlayStepsWithoutDrawing(benchmark::State& state) {
  if (!StartOnFakes()) return state.SkipWithError("the game did not start in data/");
  int frame = 0;
  for (auto _ : state) {
    NextFrameInput(frame++);
    PollInput();
    ControlPlayer();
    ParkPossessed();
    if (mouseState.rgbButtons[0] != 0) PossessOrLeave();
    NudgePlayer();
    ApplyKindKeys();
    UpdateObject(player);
    UpdateCamera();
    for (int32_t i = 0; i < objectCount; ++i)
      if (objects[i].type == Key) UpdateObject(objects[i]);
    EscapeDuringPlay();
  }
  if (player.velocity.x == 0 && player.position == player.startPosition) state.SkipWithError("the creature did not walk");
}
BENCHMARK(PlayStepsWithoutDrawing);

}  // namespace
