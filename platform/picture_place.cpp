// The picture's scale and place on a screen: the largest fit, or the whole-pixel scale near it.
#include "platform/picture_place.h"

#include <algorithm>

PicturePlace PlacePicture(int32_t pictureWidth, int32_t pictureHeight, int32_t screenWidth, int32_t screenHeight) {
  if (pictureWidth <= 0 || pictureHeight <= 0 || screenWidth <= 0 || screenHeight <= 0)
    return PicturePlace{0, 0, pictureWidth, pictureHeight};
  const int64_t pw = pictureWidth, ph = pictureHeight, sw = screenWidth, sh = screenHeight;
  // The largest fit, limited by whichever side of the screen is relatively shorter.
  int64_t width = sw;
  int64_t height = sw * ph / pw;
  if (sw * ph > sh * pw) {
    height = sh;
    width = sh * pw / ph;
  }
  const int64_t whole = std::min(sw / pw, sh / ph);
  if (whole >= 1 && whole * pw * 10 >= width * 9) {
    width = whole * pw;
    height = whole * ph;
  }
  return PicturePlace{static_cast<int32_t>((sw - width) / 2), static_cast<int32_t>((sh - height) / 2),
                      static_cast<int32_t>(width), static_cast<int32_t>(height)};
}
