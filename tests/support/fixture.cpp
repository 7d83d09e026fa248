// ResetAllState: one place that knows every module's reset, so tests never depend on their order.
#include "support/fixture.h"

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

std::string TestFile(const std::string& name) { return std::string(VEMS_SOURCE_DIR) + "/tests/" + name; }
std::string DataFile(const std::string& name) { return std::string(VEMS_SOURCE_DIR) + "/data/" + name; }
