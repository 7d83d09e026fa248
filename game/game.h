// The frame: screens, cursor, the play frame's steps and the program's start and end.
#pragma once
#include <cstdint>
#include <string>

#include "platform/window_handle.h"
#include "world/world.h"

enum GameState : int32_t {
  Title = 0,
  Playing = 1,
};

// ---- Frame state ----
extern std::string windowTitle;  // "Vems": window title and caption of the sound failure messages
extern bool quitRequested;       // set by the destroy handling; ends the loop after that turn's frame
extern int32_t gameState;        // Title or Playing (any other value: frames do nothing)
extern int32_t cursorX;          // software cursor in screen pixels, 0..639
extern int32_t cursorY;          // 0..479
extern bool restartKeyHeld;      // R was held in the last play frame: a restart waits for its release

// The window procedure: a destroy request (the close box, or the game's own posted one) sets
// quitRequested, the ask for the controls shows them; anything else gets the default handling (frame.cpp).
intptr_t WindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// The message loop: at most one message handled per turn, then one frame, until quitRequested (frame.cpp).
void RunMessageLoop(WindowHandle window);
// One frame of the game (frame.cpp); window receives the posted destroy request.
void GameFrame(WindowHandle window);
// Releases the background, the device, the device factory and the sound system, in that order.
void ShutdownGame(WindowHandle window);

// The controls box, blocking until it is answered (controls_box.cpp).
void ShowControls(WindowHandle window);

// The title frame, after the cursor update (title.cpp).
void TitleFrame(WindowHandle window);
// Escape during play: waits for its release, then back to the title (title.cpp).
void EscapeDuringPlay();

// R in play loads the level file last loaded again, once per press (restart.cpp).
void RestartOnKey();

// Arrow-key control of player by its kind (control.cpp).
void ControlPlayer();
// Vertical nudge of player by Up and Down against wall cells (control.cpp).
void NudgePlayer();
// Kind-change keys 5, 6, 3, 4 (control.cpp).
void ApplyKindKeys();

// Keeps the possessed object's slot parked outside the world (possession.cpp).
void ParkPossessed();
// Possesses the object under the cursor or leaves the possessed one (possession.cpp).
void PossessOrLeave();

// Camera follow with dead zone and half-pace background (camera.cpp).
void UpdateCamera();

// Draws the play scene and presents it; keys are stepped just before they are drawn (scene.cpp).
void DrawScene();
void DrawWalls();
void DrawObject(GameObject object);
void DrawSparkles();

// Tests: frame state back to its initial values.
void ResetGameState();
