// The game over the fakes: the one place that knows every module's reset, the frame, the cursor's place.
#include "platform/fake/fake_game.h"

#include <cstdlib>

#include "game/game.h"
#include "platform/directsound.h"
#include "platform/fake/fake_audio.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_graphics.h"
#include "platform/fake/fake_input.h"
#include "platform/fake/fake_system.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "world/startup.h"
#include "world/world.h"

void ResetAllState() {
  ResetWorld();
  SetTickCount(0);
  ResetGraphics();
  ResetInput();
  ResetFakeGraphics();
  ResetFakeInput();
  ResetFakeSystem();
  ResetGameState();
  ResetAssets();  // deletes the two sounds, so before the sound system goes
  ResetSound();
  ResetFakeAudio();
  std::srand(1);  // rand as if never seeded
}

void FakeGameFrame() { GameFrame(FakeWindow()); }

void FakeMoveCursorTo(int x, int y) { FakeMoveMouse(x - cursorX, y - cursorY); }
