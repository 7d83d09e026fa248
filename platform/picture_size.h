// The size the game composes its picture at, for the platform code that places and scales it.
#pragma once
#include <cstdint>

constexpr int32_t kPictureWidth = 640;   // picture pixels across
constexpr int32_t kPictureHeight = 480;  // picture pixels down
