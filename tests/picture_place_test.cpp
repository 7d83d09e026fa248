// The picture's scale and place on screens of every common size, odd sizes and one smaller than it.
#include <gtest/gtest.h>

#include "platform/picture_place.h"

namespace {

struct Case {
  int32_t screenWidth, screenHeight;
  PicturePlace expected;
};

// The README's table, then windows of odd sizes, then screens too small for the picture.
TEST(PicturePlaceTest, LargestFitOrTheWholeScaleWithinTenPercentCentred) {
  const Case cases[] = {
      {640, 480, {0, 0, 640, 480}},          // as it was made
      {1280, 720, {160, 0, 960, 720}},       // 1.5: whole 1 is a third short
      {1280, 800, {107, 0, 1066, 800}},      // 1.67
      {1366, 768, {171, 0, 1024, 768}},      // 1.6
      {1920, 1080, {240, 0, 1440, 1080}},    // 2.25: whole 2 is 11% short
      {1920, 1200, {160, 0, 1600, 1200}},    // 2.5: whole 2 is a fifth short
      {2560, 1440, {320, 0, 1920, 1440}},    // exactly 3
      {3840, 2160, {480, 0, 2880, 2160}},    // 4.5: whole 4 is 11% short
      {1280, 1024, {0, 32, 1280, 960}},      // exactly 2 across, room to spare below
      {1680, 1050, {200, 45, 1280, 960}},    // 2.19: whole 2 is 8.6% short
      {1300, 1000, {10, 20, 1280, 960}},     // 2.03
      {641, 481, {0, 0, 640, 480}},          // a pixel to spare
      {700, 2000, {30, 760, 640, 480}},      // tall and narrow: width decides, 1.09
      {900, 2000, {0, 662, 900, 675}},       // 1.41
      {639, 479, {0, 0, 638, 479}},          // a pixel short: made smaller, not cut
      {320, 200, {27, 0, 266, 200}},
  };
  for (const Case& c : cases) {
    const PicturePlace got = PlacePicture(640, 480, c.screenWidth, c.screenHeight);
    EXPECT_EQ(got.x, c.expected.x) << c.screenWidth << "x" << c.screenHeight;
    EXPECT_EQ(got.y, c.expected.y) << c.screenWidth << "x" << c.screenHeight;
    EXPECT_EQ(got.width, c.expected.width) << c.screenWidth << "x" << c.screenHeight;
    EXPECT_EQ(got.height, c.expected.height) << c.screenWidth << "x" << c.screenHeight;
  }
}

TEST(PicturePlaceTest, ScreenWithoutPixelsGetsThePictureUnscaled) {
  const PicturePlace got = PlacePicture(640, 480, 0, 0);
  EXPECT_EQ(got.x, 0);
  EXPECT_EQ(got.width, 640);
  EXPECT_EQ(got.height, 480);
}

}  // namespace
