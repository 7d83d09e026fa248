// Possession: the creature gets into an object by a click and leaves it by a click elsewhere.
#include "game/game.h"
#include "platform/directsound.h"
#include "world/startup.h"

namespace {

constexpr float PARKED_X = -100.0f;  // outside the world: neither drawn on screen nor met by anything

// The kinds the creature can get into.
bool IsPossessable(ObjectType type) {
  switch (type) {
    case Rock:
    case Paper:
    case Scissors:
    case Key:
    case Ladder:
      return true;
    case BlueCreature:
    case Door:
    case GreenCreature:
      return false;
  }
  return false;  // 6, 7 and anything else name no kind
}

// player names a slot of objects; a stray index (never made by the game) must not write outside the array.
bool HoldsSlot() { return player.possessedIndex >= 0 && player.possessedIndex < MAX_OBJECTS; }

// The possessed object's slot back in step with player, at its real place.
void WriteBack() { objects[player.possessedIndex] = player; }

}  // namespace

// Keeps the possessed object's slot a copy of player, parked outside the world.
void ParkPossessed() {
  if (!HoldsSlot()) return;
  WriteBack();
  objects[player.possessedIndex].position.x = PARKED_X;
}

// Takes the possessable object under the cursor (the highest slot wins) or leaves the one possessed.
// There is no reach limit: any object on screen can be clicked, wherever the creature is. A test of the
// two objects' centre points would never refuse, because centre holds per-kind constants, so there is none.
void PossessOrLeave() {
  // 1. The click's 1x1 box in world pixels.
  const Rect rect_mouse = MakeRect(static_cast<int32_t>(cursorX + camera.x), static_cast<int32_t>(cursorY + camera.y),
                                   static_cast<int32_t>(cursorX + camera.x + 1.0f),
                                   static_cast<int32_t>(cursorY + camera.y + 1.0f));
  // 2. The possessed object stands at its real place during the search, clickable like any other.
  if (HoldsSlot()) WriteBack();
  // 3. Search every slot; hidden objects are not excluded.
  bool taken = false;
  Rect rect_ignore;
  for (int32_t i = 0; i < objectCount; ++i) {
    const Rect test = PlaceRect(objects[i].bounds, objects[i].position.x, objects[i].position.y);
    if (!IntersectRect(rect_ignore, rect_mouse, test) || !IsPossessable(objects[i].type)) continue;
    // A later hit replaces an earlier one of this search, which goes back where it was.
    if (taken) WriteBack();
    player = objects[i];
    player.possessedIndex = i;
    objects[i].position.x = PARKED_X;
    PlaySoundEffect(bounceSound);
    taken = true;
  }
  // 4. Nothing possessable under the click: leave the object where it is now; the creature comes out
  //    at its top left corner, with its velocity.
  if (!taken && player.possessedIndex != -1) {
    if (HoldsSlot()) WriteBack();
    SetObjectType(player, BlueCreature);
    player.possessedIndex = -1;
  }
}
