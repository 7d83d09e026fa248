// The controls box: every key, click and pad button in one box, whenever the player asks for it.
#include "game/game.h"
#include "platform/system.h"

namespace {

// The help box at start names the arrows and the click only; this names everything, in the words of the
// README's tables, each key with its pad button beside it, short enough to fit the smallest screen.
const char kControlsText[] =
    "Keyboard and mouse (pad):\n"
    "Click an object (A): slip into it.\n"
    "Click anywhere else (A): leave it where it is.\n"
    "Move the mouse (right stick): move the cursor.\n"
    "Arrow keys (left stick, d-pad): move what you are in, its own way.\n"
    "5, 6, 3 (X, Y, B): turn into a rock, a paper airplane, scissors.\n"
    "4 (left shoulder): become the creature again on the spot.\n"
    "Escape (Back): in a level, back to the title; on the title, quit.\n"
    "R (Start): in a level, start it again.\n"
    "Alt+Enter: switch between full screen and a window.\n"
    "F1 (right shoulder): these controls.\n"
    "Return (A, B, Start, Back): close a box like this one.";

}  // namespace

// Changes nothing in the game: the box only blocks it until answered.
void ShowControls(WindowHandle window) { MessageBoxA(window, kControlsText, windowTitle, MB_OK); }
