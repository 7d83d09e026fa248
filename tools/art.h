// Every picture of the game, each drawn as a whole sheet in its layout from the asset table.
#pragma once

#include "tools/canvas.h"
#include "world/asset_table.h"

// Creatures: blue (stand, walk right 1-4, walk left 8-5), green (walk 0-3, stand).
Canvas DrawBlueSheet();
Canvas DrawGreenSheet();
// The blue creature standing, for the desktop icon.
Canvas DrawBlueStanding();

// Objects.
Canvas DrawRockSheet();      // one turn, each frame 22.5 degrees further counter-clockwise
Canvas DrawPaperSheet();     // headings 0-60, 120-240, 300-345 in 15-degree steps
Canvas DrawScissorsSheet();  // one open-and-close snip
Canvas DrawKeySheet();       // the key turning about its shaft
Canvas DrawKeymanSheet();    // the walking key, even frames facing left, odd right
Canvas DrawDoorSheet();      // shut, open
Canvas DrawLadderSheet();    // slices with the rungs one pixel further down each frame
Canvas DrawSparkleSheet();   // a plus, a cross, a dot, a white plus

// Scenery.
Canvas DrawWallsSheet();  // tile m has an edge on each side whose bit in m is clear
Canvas DrawBackground();  // wraps seamlessly both ways

// Title screen.
Canvas DrawTitle();
Canvas DrawButton(const char* label, const SpriteSheet& sheet);  // normal above, highlighted below
Canvas DrawArrow();                                              // tip at (0, 0)
