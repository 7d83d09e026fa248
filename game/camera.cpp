// The camera: follows player with a dead zone; the background scrolls at half its pace and wraps.
#include "game/game.h"

namespace {

constexpr float DEAD_TOP = 120.0f;
constexpr float DEAD_BOTTOM = 328.0f;
constexpr float DEAD_LEFT = 160.0f;
constexpr float DEAD_RIGHT = 448.0f;
constexpr float CAMERA_MAX_X = 640.0f;  // also the background's wrap width
constexpr float CAMERA_MAX_Y = 480.0f;  // also the background's wrap height

// Brings a background coordinate back into 0..limit after a step either way.
void Wrap(float& scroll, float limit) {
  if (scroll < 0.0f) scroll += limit;
  if (scroll > limit) scroll -= limit;
}

}  // namespace

// One step of at most player's speed per axis; the limits are tested before the step, so a fast object
// may push the camera a little past them until it moves back.
void UpdateCamera() {
  const float x = static_cast<float>(static_cast<int32_t>(player.position.x));
  const float y = static_cast<float>(static_cast<int32_t>(player.position.y));
  const float s = static_cast<float>(player.speed);
  const float h = static_cast<float>(player.speed / 2);
  if (y - camera.y < DEAD_TOP && camera.y > 0.0f) {
    camera.y -= s;
    backgroundScroll.y -= h;
  }
  if (y - camera.y > DEAD_BOTTOM && camera.y < CAMERA_MAX_Y) {
    camera.y += s;
    backgroundScroll.y += h;
  }
  if (x - camera.x < DEAD_LEFT && camera.x > 0.0f) {
    camera.x -= s;
    backgroundScroll.x -= h;
  }
  if (x - camera.x > DEAD_RIGHT && camera.x < CAMERA_MAX_X) {
    camera.x += s;
    backgroundScroll.x += h;
  }
  Wrap(backgroundScroll.x, CAMERA_MAX_X);
  Wrap(backgroundScroll.y, CAMERA_MAX_Y);
}
