// Sine and cosine per whole degree for the paper airplane's flight.
#include <cmath>

#include "world/world.h"

void BuildAngleTables() {
  // The game's pi is 3.1415, so the axes are slightly off (cosineTable[90] is about 0.0000463); the
  // airplane's flight has always been tuned with these values.
  const float k = static_cast<float>(3.1415 / 180.0);
  for (float a = 0.0f; a < 360.0f; a += 1.0f) {
    const float angle = a * k;
    const int i = static_cast<int>(a);
    sineTable[i] = static_cast<float>(std::sin(static_cast<double>(angle)));
    cosineTable[i] = static_cast<float>(std::cos(static_cast<double>(angle)));
  }
}
