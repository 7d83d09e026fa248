// Arrow-key control of the object under control, its vertical nudge and the kind-change keys.
#include "game/game.h"
#include "platform/directsound.h"
#include "platform/input.h"
#include "simulation/simulation.h"
#include "world/startup.h"

namespace {

constexpr int32_t STICK_THRESHOLD = 2000;  // pad 0's left stick counts only beyond this, strictly
constexpr int32_t RIGHT_LIMIT = 1248;      // an object 32 wide stays inside the 1280-pixel world
constexpr float PAPER_FLIGHT = 6.0f;
constexpr int32_t LADDER_STEP = 8;
constexpr int32_t LADDER_SHORTEST = 32;
constexpr int32_t LADDER_TALLEST = 448;
constexpr float NUDGE = 2.0f;
constexpr int32_t NUDGE_FLOOR = 928;  // lowest top edge the downward nudge may start from

// The four directions of one frame, from the keys or pad 0's left stick.
struct Directions {
  bool left;
  bool right;
  bool up;
  bool down;
};

// Reads the held arrows and the stick; the stick's Y is positive upwards.
Directions ReadDirections() {
  const GamepadState& pad = padStates[0];
  Directions d;
  d.left = IsKeyDown(DIK_LEFT) != 0 || pad.sThumbLX < -STICK_THRESHOLD;
  d.right = IsKeyDown(DIK_RIGHT) != 0 || pad.sThumbLX > STICK_THRESHOLD;
  d.up = IsKeyDown(DIK_UP) != 0 || pad.sThumbLY > STICK_THRESHOLD;
  d.down = IsKeyDown(DIK_DOWN) != 0 || pad.sThumbLY < -STICK_THRESHOLD;
  return d;
}

// Climb up the obstacle in the way, when there is room above.
void TryClimb(float s) {
  if (static_cast<int32_t>(player.position.y) > 0 && CanMove(player, Vector2(0.0f, -s))) player.velocity.y = -s;
}

// Walking with a climb at obstacles; scissors pass their snip frame's candidate steps, others a full step.
void ControlWalker(const Directions& d, Vector2 leftStep, Vector2 rightStep) {
  const float s = static_cast<float>(player.speed);
  player.velocity = Vector2();
  if (d.left) {
    if (static_cast<int32_t>(player.position.x) > 0 && CanMove(player, leftStep))
      player.velocity.x = -s;
    else
      TryClimb(s);
  }
  if (d.right) {
    if (static_cast<int32_t>(player.position.x) < RIGHT_LIMIT && CanMove(player, rightStep))
      player.velocity.x = s;
    else
      TryClimb(s);
  }
}

// The creature and the key: a full step each way.
void ControlWalk(const Directions& d) {
  const float s = static_cast<float>(player.speed);
  ControlWalker(d, Vector2(-s, 0.0f), Vector2(s, 0.0f));
}

// Scissors only test a step in the frames where the snip really advances them.
void ControlScissors(const Directions& d) {
  const float s = static_cast<float>(player.speed);
  const Vector2 leftStep = (player.frame == 1 || player.frame == 2) ? Vector2() : Vector2(-s, 0.0f);
  const Vector2 rightStep = (player.frame == 6 || player.frame == 7) ? Vector2() : Vector2(s, 0.0f);
  ControlWalker(d, leftStep, rightStep);
}

// The rock rolls where it is free and never climbs under control; the world's edges are CanMove's business.
void ControlRock(const Directions& d) {
  const float s = static_cast<float>(player.speed);
  player.velocity = Vector2();
  if (d.left) {
    player.velocity = Vector2(-s, 0.0f);
    if (!CanMove(player, Vector2(-s, 0.0f))) player.velocity.x = 0.0f;
  }
  if (d.right) {
    player.velocity = Vector2(s, 0.0f);
    if (!CanMove(player, Vector2(s, 0.0f))) player.velocity.x = 0.0f;
  }
}

// Mirrors a heading left to right: 30 becomes 150, 0 becomes 180. Kept non-negative for any heading.
float MirrorHeading(float heading) {
  const int32_t mirrored = (540 - static_cast<int32_t>(heading)) % 360;
  return static_cast<float>(mirrored < 0 ? mirrored + 360 : mirrored);
}

// Launch (standing or not flying) or reverse (flying the other way) toward direction (-1 left, +1 right).
void LaunchOrReverse(float direction) {
  const float flight = direction * PAPER_FLIGHT;
  const bool standing = !CanMove(player, Vector2(0.0f, 4.0f));
  if (standing || player.velocity.x == 0.0f) {
    player.velocity = Vector2(flight, direction < 0.0f ? 180.0f : 0.0f);
  } else if (player.velocity.x == -flight) {
    player.velocity.x = flight;
    player.velocity.y = MirrorHeading(player.velocity.y);
  }
}

// The paper airplane: launched and reversed sideways, nose lifted and lowered within its limits.
// Its velocity is not cleared: it keeps flying between frames.
void ControlPaper(const Directions& d) {
  if (d.left) LaunchOrReverse(-1.0f);
  if (d.right) LaunchOrReverse(1.0f);
  float& h = player.velocity.y;
  if (d.up) {
    if (h < 60.0f || h >= 300.0f) h += 1.0f;
    if (h > 120.0f && h <= 240.0f) h -= 1.0f;
    if (h >= 360.0f) h = 0.0f;
  }
  if (d.down) {
    if (h <= 60.0f || h > 300.0f) h -= 1.0f;
    if (h >= 120.0f && h < 240.0f) h += 1.0f;
    if (h < 0.0f) h = 359.0f;
  }
}

// The ladder slides without any collision test and grows or shrinks downwards from its top.
void ControlLadder(const Directions& d) {
  const float s = static_cast<float>(player.speed);
  player.velocity = Vector2();
  if (d.left && player.position.x > 0.0f) player.velocity.x = -s;
  if (d.right && static_cast<int32_t>(player.position.x) < RIGHT_LIMIT) player.velocity.x = s;
  if (d.up && player.bounds.bottom < LADDER_TALLEST) player.bounds.bottom += LADDER_STEP;
  if (d.down && player.bounds.bottom > LADDER_SHORTEST) player.bounds.bottom -= LADDER_STEP;
}

// True when the cell at pixel (x, y) is a wall. Cells beyond the grid (an object that drifted or was taken
// outside the world) count as open, as they do for the collision test, so the nudge never reads past it.
bool IsWallAt(int32_t x, int32_t y) {
  const int32_t column = x / CELL_SIZE;
  const int32_t row = y / CELL_SIZE;
  if (column < 0 || column >= GRID_COLUMNS || row < 0 || row >= GRID_ROWS) return false;
  return levelGrid[column][row] == WALL_CELL;
}

}  // namespace

// Sets player's velocity (and a ladder's height) from this frame's directions, by kind.
void ControlPlayer() {
  const Directions d = ReadDirections();
  switch (player.type) {
    case BlueCreature:
    case Key:
      ControlWalk(d);
      break;
    case Rock:
      ControlRock(d);
      break;
    case Paper:
      ControlPaper(d);
      break;
    case Scissors:
      ControlScissors(d);
      break;
    case Ladder:
      ControlLadder(d);
      break;
    case Door:
    case GreenCreature:
      break;
  }
}

// Up and Down move any kind but the airplane 2 pixels a frame, stopped by wall cells only.
void NudgePlayer() {
  const Directions d = ReadDirections();
  if (player.type == Paper) return;
  if (d.up) {
    const int32_t x = static_cast<int32_t>(player.position.x);
    const int32_t y = static_cast<int32_t>(player.position.y);
    if (y > 0 && !IsWallAt(x + 16, y)) player.position.y -= NUDGE;
  }
  if (d.down) {
    const int32_t x = static_cast<int32_t>(player.position.x + 16.0f);
    const int32_t y = static_cast<int32_t>(player.position.y);
    if (y < NUDGE_FLOOR && !IsWallAt(x, y + 31)) player.position.y += NUDGE;
  }
}

// Keys 5, 6, 3 and 4 turn player into a rock, airplane, scissors or the creature, every frame they are held.
void ApplyKindKeys() {
  if (IsKeyDown(DIK_5)) {
    PlaySoundEffect(stepSound);
    SetObjectType(player, Rock);
  }
  if (IsKeyDown(DIK_6)) {
    PlaySoundEffect(stepSound);
    SetObjectType(player, Paper);
  }
  if (IsKeyDown(DIK_3)) {
    PlaySoundEffect(stepSound);
    SetObjectType(player, Scissors);
  }
  if (IsKeyDown(DIK_4)) {
    PlaySoundEffect(stepSound);
    SetObjectType(player, BlueCreature);
    // The possessed slot stays parked: the object is gone from play and the creature takes its place.
    player.possessedIndex = -1;
  }
}
