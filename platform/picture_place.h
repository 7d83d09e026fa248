// Where the game's picture lies on a screen or window of any size: its scale and place, pure arithmetic.
#pragma once
#include <cstdint>

// A rectangle in screen pixels.
struct PicturePlace {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// The picture (pictureWidth by pictureHeight) as large as it fits on the screen keeping its shape, centred
// on black bars. A whole-pixel scale where it comes within 10% of that size (every picture pixel the same
// square), otherwise the largest fit itself, drawn crisp by the nearest pixel; on a screen smaller than
// the picture, the picture made smaller to fit. A screen without pixels gets the picture unscaled at 0,0.
PicturePlace PlacePicture(int32_t pictureWidth, int32_t pictureHeight, int32_t screenWidth, int32_t screenHeight);
