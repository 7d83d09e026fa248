// Sine and cosine by a short series after folding the angle into a quarter turn.
#include "tools/steady_math.h"

#include <cmath>

double Sine(double radians) {
  // Fold into [-pi, pi], then into [-pi/2, pi/2] where the series converges fast.
  double x = radians - 2.0 * PI * std::floor(radians / (2.0 * PI) + 0.5);
  if (x > PI / 2) x = PI - x;
  if (x < -PI / 2) x = -PI - x;
  double term = x, sum = x, x2 = x * x;
  for (int n = 1; n <= 10; ++n) {
    term *= -x2 / ((2.0 * n) * (2.0 * n + 1.0));
    sum += term;
  }
  return sum;
}

double Cosine(double radians) { return Sine(radians + PI / 2); }
