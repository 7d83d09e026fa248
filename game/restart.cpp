// Restarting the level in play: R, or the pad button standing for it, loads the level file again.
#include "game/game.h"
#include "platform/directsound.h"
#include "platform/input.h"
#include "world/startup.h"

bool restartKeyHeld = false;

// A level can be left unsolvable (a key walked off, a rock in the wrong pit), and Play only ever loads the
// first one. The load is the one Play and the door make, so the level comes back exactly as its file has
// it. Once per press: a held R restarts once, and again only after it was let go.
void RestartOnKey() {
  const bool held = IsKeyDown(DIK_R) != 0;
  if (held && !restartKeyHeld && !loadedLevelFile.empty()) {
    PlaySoundEffect(stepSound);
    LoadLevel(loadedLevelFile);
  }
  restartKeyHeld = held;
}
