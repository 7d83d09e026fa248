// UpdateObject: one object's step on its own 30 ms clock, and the respawn of a hidden object.
#include <cmath>

#include "platform/tick_count.h"
#include "simulation/simulation.h"

namespace {

constexpr uint32_t STEP_INTERVAL = 30;  // ms an object waits between two steps
constexpr float FLIGHT_SPEED = 6.0f;    // pixels per step along the airplane's heading

// Ticks compared as signed 32-bit values, the sum wrapping at 32 bits, as the clock has always done.
bool TickIsPast(uint32_t now, uint32_t since, uint32_t amount) {
  return static_cast<int32_t>(now) > static_cast<int32_t>(since + amount);
}

// A turning frame brought back round its cycle of count frames.
void WrapFrame(GameObject& object, int32_t count) {
  if (object.frame > count - 1) object.frame = 0;
  if (object.frame < 0) object.frame = count - 1;
}

// Walks its four frames (also while standing), moves, and falls 2 pixels when it is not walking sideways.
void StepCreature(GameObject& object) {
  // A record that turns into a creature keeps the frame of its old kind (an airplane's can be 17), so any
  // frame past the creature's four restarts the cycle instead of counting on out of the sheet.
  object.frame += 1;
  if (object.frame >= 4) object.frame = 0;
  object.position += object.velocity;
  if (object.velocity.x == 0.0f && CanMove(object, Vector2(0.0f, 2.0f))) object.position.y += 2.0f;
}

// Rolls through 16 frames against its direction, moves, and falls 4 pixels when it can.
void StepRock(GameObject& object) {
  RollRockFrame(object);
  object.position += object.velocity;
  if (CanMove(object, Vector2(0.0f, 4.0f))) object.position.y += 4.0f;
}

// The heading as an index into the angle tables. A heading outside 0..359 (a climbing creature turned into
// an airplane carries y velocity -4) is wrapped round the circle, so -4 flies as 356; a heading that is
// not a number or infinite flies as 0. The heading itself is left for the control to steer.
int HeadingIndex(float heading) {
  if (!std::isfinite(heading)) return 0;
  double d = std::fmod(std::trunc(static_cast<double>(heading)), 360.0);
  if (d < 0.0) d += 360.0;
  return static_cast<int>(d);
}

// Frame of 18 from the heading: nose up to down in the right-flying and left-flying ranges.
void SetPaperFrame(GameObject& object) {
  const float h = object.velocity.y;
  if (h >= 0.0f && h <= 60.0f) {
    object.frame = static_cast<int32_t>(h / 15.0f);
  } else if (h >= 120.0f && h <= 240.0f) {
    object.frame = static_cast<int32_t>(h / 15.0f - 3.0f);
  } else if (h >= 300.0f && h < 360.0f) {
    object.frame = static_cast<int32_t>(h / 15.0f - 6.0f);
  }
}

// Flies one leg along the heading or crashes into what stops it; stops flying when it nears the ground.
void StepPaper(GameObject& object) {
  const int d = HeadingIndex(object.velocity.y);
  const Vector2 temp(FLIGHT_SPEED * cosineTable[d], -FLIGHT_SPEED * sineTable[d]);
  SetPaperFrame(object);
  const bool free = CanMove(object, temp);
  if (object.velocity.x != 0.0f) {
    if (free) {
      object.position += temp;
    } else {
      // The crash: the user is back in the own creature, gone until the respawn puts it at startPosition.
      SetObjectType(object, BlueCreature);
      object.possessedIndex = -1;
      object.hidden = true;
      object.hiddenSince = GetTickCount();
    }
  }
  if (!CanMove(object, Vector2(0.0f, 4.0f))) object.velocity.x = 0.0f;
}

// Snips through 8 frames and advances only in four of them, then falls 4 pixels when it can.
void StepScissors(GameObject& object) {
  if (object.velocity.x < 0.0f) {
    object.frame -= 1;
    if (object.frame > 1 && object.frame < 6) object.position += object.velocity;
  }
  if (object.velocity.x > 0.0f) {
    object.frame += 1;
    if (object.frame > 2 && object.frame < 7) object.position += object.velocity;
  }
  WrapFrame(object, 8);
  if (CanMove(object, Vector2(0.0f, 4.0f))) object.position.y += 4.0f;
}

// Spins through 16 frames and drifts by whatever velocity it has, through anything.
void StepKey(GameObject& object) {
  // A reused slot keeps the frame of the object it held before, so any frame past 15 restarts the spin.
  object.frame += 1;
  if (object.frame >= 16) object.frame = 0;
  object.position += object.velocity;
}

// Slides sideways only, stepping its 8 frames with the slide.
void StepLadder(GameObject& object) {
  if (object.velocity.x < 0.0f) {
    object.frame -= 1;
    object.position += object.velocity;
  } else if (object.velocity.x > 0.0f) {
    object.frame += 1;
    object.position += object.velocity;
  }
  WrapFrame(object, 8);
}

}  // namespace

void RollRockFrame(GameObject& rock) {
  if (rock.velocity.x < 0.0f) {
    rock.frame += 1;
  } else if (rock.velocity.x > 0.0f) {
    rock.frame -= 1;
  }
  WrapFrame(rock, 16);
}

bool StepDue(const GameObject& object, uint32_t now) {
  return TickIsPast(now, object.lastStepTick, STEP_INTERVAL);
}

void UpdateObject(GameObject& object) {
  // 1. The step clock: a step only when more than 30 ms have passed since the last one.
  if (StepDue(object, GetTickCount())) {
    object.lastStepTick = GetTickCount();
    switch (object.type) {
      case BlueCreature:
      case GreenCreature:
        StepCreature(object);
        break;
      case Rock:
        StepRock(object);
        break;
      case Paper:
        StepPaper(object);
        break;
      case Scissors:
        StepScissors(object);
        break;
      case Key:
        StepKey(object);
        break;
      case Ladder:
        StepLadder(object);
        break;
      case Door:
        break;
    }
    // 6, 7 and values without a kind make no step.
  }

  // 2. Respawn, whether a step was due or not.
  if (object.hidden && TickIsPast(GetTickCount(), object.hiddenSince, static_cast<uint32_t>(object.respawnDelay))) {
    object.hidden = false;
    object.position = object.startPosition;
  }
}
