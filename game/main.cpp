// The program: help box, start-up level, window, start-up, the loop until quit, and the shutdown.
#include <csignal>
#include <cstdio>

#include "game/game.h"
#include "platform/system.h"
#include "world/startup.h"
#include "world/world.h"

// Shown once before anything else, so the player knows the controls before the game takes the mouse.
static const char kHelpText[] =
    "Written by Quorrel\n"
    "Arrow to move.  Click to possess object or to leave them.\n"
    "Rock beats scissors beats paper beats rock.\n"
    "Move the key into the door to go to the next level.\n"
    "Hint: Ladders can move, shrink and grow.";

// Nothing to do: with the signal caught, a write to a peer that has gone (the X server's socket, a closed
// standard error, the sound server) fails with EPIPE, and the path that made it reports the failure
// instead of the signal ending the game without a word. Caught rather than ignored, so a program the
// game starts (a dialog of the desktop's) gets the default back.
static void OnBrokenPipe(int) {}

int main() {
  struct sigaction brokenPipe = {};
  brokenPipe.sa_handler = OnBrokenPipe;
  brokenPipe.sa_flags = SA_RESTART;
  sigemptyset(&brokenPipe.sa_mask);
  sigaction(SIGPIPE, &brokenPipe, nullptr);

  MessageBoxA(nullptr, kHelpText, "Vems", MB_OK | MB_ICONEXCLAMATION);

  // The title's Setup and Credits play whatever is loaded, and until Play is clicked that is this one.
  LoadLevel("level2.vem");

  WindowHandle window = CreateGameWindow(windowTitle, 640, 480);
  if (window == nullptr) {
    std::fprintf(stderr, "vems: cannot make the game window: %s\n", PlatformError().c_str());
    return 1;
  }
  // A failed start has already told the player why (a message box or standard error); the status says
  // it to whoever started the game.
  if (!InitGame(window)) return 1;

  RunMessageLoop(window);
  ShutdownGame(window);
  return 0;
}
