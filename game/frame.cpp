// The frame skeleton: the window procedure, the message loop, one game frame, and the shutdown.
#include <string>

#include "game/game.h"
#include "platform/directsound.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/system.h"
#include "simulation/simulation.h"
#include "world/startup.h"

std::string windowTitle = "Vems";
bool quitRequested = false;

intptr_t WindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case WM_DESTROY:
      // Both the close box and the game's own posted quit arrive here. No quit message is queued:
      // nothing would ever read it, the loop ends on the flag.
      quitRequested = true;
      return 0;
    case WM_HELP:
      ShowControls(window);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

void RunMessageLoop(WindowHandle window) {
  // The flag is read only here, so the turn that sets it still runs its frame.
  while (!quitRequested) {
    Message msg;
    if (PeekMessageA(msg)) WindowProc(window, msg.message, msg.wParam, msg.lParam);
    GameFrame(window);
  }
}

// Moves the software cursor by the mouse motion, kept on the 640 by 480 screen.
static void MoveCursor() {
  cursorX += mouseState.lX;
  if (cursorX < 0) cursorX = 0;
  if (cursorX > 639) cursorX = 639;
  cursorY += mouseState.lY;
  if (cursorY < 0) cursorY = 0;
  if (cursorY > 479) cursorY = 479;
}

void GameFrame(WindowHandle window) {
  ShowCursor(false);
  if (graphicsDevice == nullptr) return;
  PollInput();
  MoveCursor();

  switch (gameState) {
    case Title:
      TitleFrame(window);
      return;
    case Playing:
      break;
    default:
      return;
  }

  RestartOnKey();
  ControlPlayer();
  ParkPossessed();
  if (mouseState.rgbButtons[0] != 0) PossessOrLeave();
  NudgePlayer();
  ApplyKindKeys();
  UpdateObject(player);
  UpdateCamera();
  DrawScene();
  EscapeDuringPlay();
}

void ShutdownGame(WindowHandle) {
  // Textures, the sprite batch, the back buffer and the input devices go with the process.
  if (backgroundSurface != nullptr) Release(backgroundSurface);
  backgroundSurface = nullptr;
  if (graphicsDevice != nullptr) Release(graphicsDevice);
  graphicsDevice = nullptr;
  if (direct3D != nullptr) Release(direct3D);
  direct3D = nullptr;
  ShutdownSound();
}

void ResetGameState() {
  windowTitle = "Vems";
  quitRequested = false;
  gameState = Title;
  cursorX = 320;
  cursorY = 240;
  restartKeyHeld = false;
}
