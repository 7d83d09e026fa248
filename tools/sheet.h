// Sprite sheets laid out as the asset table says: the blank sheet, and each frame put in its place.
#pragma once

#include "tools/canvas.h"
#include "world/asset_table.h"

// All of sheet's frames, see-through until drawn.
inline Canvas BlankSheet(const SpriteSheet& sheet) {
  return Canvas(sheet.frameWidth * sheet.framesPerRow,
                sheet.frameHeight * ((sheet.frames + sheet.framesPerRow - 1) / sheet.framesPerRow));
}

// frame drawn into its place on canvas, row by row from the top left as the game cuts them.
inline void PutFrame(Canvas& canvas, const SpriteSheet& sheet, int frame, const Canvas& picture) {
  Blit(canvas, picture, sheet.frameWidth * (frame % sheet.framesPerRow),
       sheet.frameHeight * (frame / sheet.framesPerRow));
}
