// Every picture of the game, each drawn as a whole sheet in the layout the drawing code expects.
#pragma once

#include "tools/canvas.h"
#include "world/asset_table.h"

// Creatures: 32x32 frames; blue 9 (stand, walk right 1-4, walk left 8-5), green 5 (walk 0-3, stand).
Canvas DrawBlueSheet();
Canvas DrawGreenSheet();
// The blue creature standing, for the desktop icon.
Canvas DrawBlueStanding();

// Objects: 32x32 frames unless noted.
Canvas DrawRockSheet();      // 16: one turn, each frame 22.5 degrees further counter-clockwise
Canvas DrawPaperSheet();     // 18: headings 0-60, 120-240, 300-345 in 15-degree steps
Canvas DrawScissorsSheet();  // 8: one open-and-close snip
Canvas DrawKeySheet();       // 16: the key turning about its shaft
Canvas DrawKeymanSheet();    // 16: the walking key, even frames facing left, odd right
Canvas DrawDoorSheet();      // 2: shut, open
Canvas DrawLadderSheet();    // 8 slices of 32x8: rungs one pixel further down each frame
Canvas DrawSparkleSheet();   // 4 frames of 3x3

// Scenery.
Canvas DrawWallsSheet();  // 16 tiles, tile m has an edge on each side whose bit in m is clear
Canvas DrawBackground();  // 640x480, wraps seamlessly both ways

// Title screen.
Canvas DrawTitle();                                    // 486x186
Canvas DrawButton(const char* label, const SpriteSheet& sheet);  // normal above, highlighted below
Canvas DrawArrow();                                    // 16x16, tip at (0, 0)
