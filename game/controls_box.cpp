// The controls box: every key, click and pad button in one box, whenever the player asks for it.
#include "game/game.h"
#include "platform/system.h"

namespace {

// The help box at start names the arrows and the click only; this names everything, in the words the
// README uses.
const char kControlsText[] =
    "Keyboard and mouse\n"
    "Click an object: slip into it.\n"
    "Click anywhere else: leave it where it is.\n"
    "Arrow keys: move what you are in, its own way.\n"
    "5, 6, 3: turn into a rock, a paper airplane, scissors.\n"
    "4: become the creature again on the spot.\n"
    "Escape: in a level, back to the title; on the title, quit.\n"
    "R: in a level, start it again.\n"
    "Alt+Enter: switch between full screen and a window.\n"
    "F1: these controls.\n"
    "\n"
    "Gamepad\n"
    "Left stick, or the d-pad: the arrow keys.\n"
    "Right stick: moves the cursor.\n"
    "A: click.\n"
    "X, Y, B: 5, 6, 3: rock, paper airplane, scissors.\n"
    "Left shoulder: 4: the creature again.\n"
    "Back: Escape.\n"
    "Start: R: start the level again.\n"
    "Right shoulder: these controls.\n"
    "\n"
    "A box like this one closes with Return, or A, B, Start or Back.";

}  // namespace

// Changes nothing in the game: the box only blocks it until answered.
void ShowControls(WindowHandle window) { MessageBoxA(window, kControlsText, windowTitle, MB_OK); }
