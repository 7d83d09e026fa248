// Sine, cosine and a seeded generator of our own, so art and sounds come out bit for bit the same in every build.
#pragma once

#include <cstdint>

constexpr double PI = 3.14159265358979323846;

// Sine of an angle in radians, good to about 1e-12; plain arithmetic only, no library call.
double Sine(double radians);
// Cosine of an angle in radians.
double Cosine(double radians);
// Degrees to radians.
constexpr double Radians(double degrees) { return degrees * PI / 180.0; }

// A fixed-seed generator, so "random" details are the same on every run.
struct Lcg {
  uint32_t state;
  // Next value in [0, 1).
  double Next() {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 16777216.0;
  }
};

// A repeatable value in [0, 1) for a lattice point, for noise that must wrap.
inline double Hash01(uint32_t a, uint32_t b, uint32_t c) {
  uint32_t h = a * 73856093u ^ b * 19349663u ^ c * 83492791u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return (h >> 8) / 16777216.0;
}
