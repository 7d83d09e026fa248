// CanMove: the collision test against the world's edges, the other objects by kind, and the wall cells.
#include <algorithm>

#include "simulation/simulation.h"

namespace {

// Bands just outside the world, 100 pixels thick. The left and top ones end at -1, so a box may reach one
// pixel past the left or top edge; the four corners outside the world are left uncovered.
const Rect lFrame = MakeRect(-100, 0, -1, WORLD_HEIGHT);
const Rect rFrame = MakeRect(WORLD_WIDTH, 0, WORLD_WIDTH + 100, WORLD_HEIGHT);
const Rect tFrame = MakeRect(0, -100, WORLD_WIDTH, -1);
const Rect bFrame = MakeRect(0, WORLD_HEIGHT, WORLD_WIDTH, WORLD_HEIGHT + 100);

// An object's box at a point: its bounds placed there, edges truncated toward zero.
Rect BoxAt(const GameObject& object, Vector2 at) { return PlaceRect(object.bounds, at.x, at.y); }

// The rule of IntersectRect (the intersection must have positive width and height, so edge-to-edge
// contact and empty boxes overlap nothing), without writing the intersection out: this runs for every
// object on every call.
bool Overlaps(const Rect& a, const Rect& b) {
  return std::max(a.left, b.left) < std::min(a.right, b.right) && std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

// What a moving object does on meeting another whose box it would overlap.
enum class Meeting { Pass, Refuse, Climb, ChangeLevel };

// What a moving rock does on meeting each kind.
Meeting RockMeets(int32_t otherType) {
  switch (static_cast<ObjectType>(otherType)) {
    case Rock:
      return Meeting::Climb;
    case Ladder:
    case Door:
      return Meeting::Pass;
    case BlueCreature:
    case Paper:
    case Scissors:
    case Key:
    case GreenCreature:
      return Meeting::Refuse;
  }
  return Meeting::Refuse;  // 6, 7 and any value without a kind
}

// What a moving key does on meeting each kind.
Meeting KeyMeets(int32_t otherType) {
  switch (static_cast<ObjectType>(otherType)) {
    case BlueCreature:
    case Rock:
    case Paper:
    case Scissors:
    case GreenCreature:
      return Meeting::Refuse;
    case Key:
    case Ladder:
      return Meeting::Pass;
    case Door:
      return Meeting::ChangeLevel;
  }
  return Meeting::Refuse;  // 6, 7 and any value without a kind
}

// Whether other's box placed at `at` overlaps box: the same answer as placing the whole box and testing
// the overlap, but an axis that misses ends the work there, since most objects are nowhere near.
bool PlacedOverlaps(const GameObject& other, Vector2 at, const Rect& box) {
  const int32_t left = PlaceEdge(other.bounds.left, at.x);
  const int32_t right = PlaceEdge(other.bounds.right, at.x);
  if (std::max(left, box.left) >= std::min(right, box.right)) return false;
  const int32_t top = PlaceEdge(other.bounds.top, at.y);
  const int32_t bottom = PlaceEdge(other.bounds.bottom, at.y);
  return std::max(top, box.top) < std::min(bottom, box.bottom);
}

// other's box and the moving object's box (moved), both shifted by the displacement: in effect, a rock,
// airplane, scissors or key that already overlaps an object of another kind may not move at all,
// whichever way it goes. An object of the moving kind never refuses, so its box is not even placed.
bool SameKindAllows(const Rect& moved, const GameObject& other, Vector2 displacement, ObjectType kind) {
  if (other.type == kind) return true;
  return !PlacedOverlaps(other, other.position + displacement, moved);
}

bool TestMove(GameObject& object, Vector2 displacement, bool nested);

// The climb of a rock that ran into the rock in slot i: 2 pixels up when that rise is free, turning as it
// rolls. The nested test of the rise is told it is nested, so it cannot start a climb of its own: a rock
// with another rock right on top of it would otherwise ask for the same climb again without end. There a
// rock met during the rise answers "refused", so a rock under a rock stays put.
void ClimbRock(GameObject& object, const GameObject& other, int32_t i) {
  if (TestMove(object, Vector2(0.0f, -2.0f), true) && i != player.possessedIndex &&
      other.position != object.position) {
    RollRockFrame(object);
    object.position.y -= 2.0f;
  }
}

// The whole test; nested is true only inside the rise test of a rock climb.
bool TestMove(GameObject& object, Vector2 displacement, bool nested) {
  // 1. The box where the move would put the object.
  const Rect obj = BoxAt(object, object.position + displacement);
  // The moving object's box for the same-kind test: obj itself, until a level change rewrites the object.
  Rect moved = obj;

  // 2. The world's edges.
  if (Overlaps(obj, lFrame) || Overlaps(obj, rFrame) || Overlaps(obj, tFrame) || Overlaps(obj, bFrame)) {
    return false;
  }

  // 3. Every object, by the rule of the moving kind. A door touched by a key replaces the level right here,
  // so the count, the slot's record and the moving type are all read afresh on every pass. The bound on
  // the table only guards against a count the loader never leaves.
  for (int32_t i = 0; i < objectCount && i < MAX_OBJECTS; ++i) {
    const GameObject& other = objects[i];
    // Other's box where it stands is placed only as far as the overlap with obj needs it.
    switch (object.type) {
      case BlueCreature:
      case GreenCreature:
        if (other.type != Ladder && other.type != Door && PlacedOverlaps(other, other.position, obj)) return false;
        break;
      case Rock:
        if (PlacedOverlaps(other, other.position, obj)) {
          switch (RockMeets(other.type)) {
            case Meeting::Climb:
              // The rise is refused while nested; either way this move is refused.
              if (!nested) ClimbRock(object, other, i);
              return false;
            case Meeting::Refuse:
              return false;
            case Meeting::Pass:
            case Meeting::ChangeLevel:
              break;
          }
        }
        if (!SameKindAllows(moved, other, displacement, Rock)) return false;
        break;
      case Paper:
      case Scissors:
        // Their own box is not examined: they can enter another object, but not move on once inside.
        if (!SameKindAllows(moved, other, displacement, object.type)) return false;
        break;
      case Key:
        if (PlacedOverlaps(other, other.position, obj)) {
          switch (KeyMeets(other.type)) {
            case Meeting::Refuse:
              return false;
            case Meeting::ChangeLevel:
              LoadLevel("level2.vem");
              moved = BoxAt(object, object.position + displacement);
              break;
            case Meeting::Pass:
            case Meeting::Climb:
              break;
          }
        }
        if (!SameKindAllows(moved, other, displacement, Key)) return false;
        break;
      case Ladder:
      case Door:
        break;
    }
    // 6, 7 and values without a kind meet nothing, like the ladder and the door.
  }

  // 4. The wall cells under the box formed at the start (of the new grid, after a level change).
  return WallsAllow(obj);
}

}  // namespace

// True when the box holds no part of a wall cell. Only cells that exist are read: a box reaching past any
// edge of the grid (a drifting key can be anywhere, even at huge coordinates) is tested against the cells
// it covers inside the grid, and whatever lies outside blocks nothing here (the frame bands see to it).
bool WallsAllow(const Rect& obj) {
  const int32_t firstColumn = std::max(obj.left / CELL_SIZE, 0);
  const int32_t lastColumn = std::min(obj.right / CELL_SIZE, GRID_COLUMNS - 1);
  const int32_t firstRow = std::max(obj.top / CELL_SIZE, 0);
  const int32_t lastRow = std::min(obj.bottom / CELL_SIZE, GRID_ROWS - 1);
  for (int32_t c = firstColumn; c <= lastColumn; ++c) {
    for (int32_t r = firstRow; r <= lastRow; ++r) {
      if (levelGrid[c][r] != WALL_CELL) continue;
      const Rect wall = MakeRect(CELL_SIZE * c, CELL_SIZE * r, CELL_SIZE * c + CELL_SIZE, CELL_SIZE * r + CELL_SIZE);
      if (Overlaps(obj, wall)) return false;
    }
  }
  return true;
}

bool CanMove(GameObject& object, Vector2 displacement) { return TestMove(object, displacement, false); }
