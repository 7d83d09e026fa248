// Per-kind defaults of the game's objects.
#include "world/world.h"

// The defaults a kind gives every record of it.
static void SetDefaults(GameObject& object, int32_t respawnDelay, Vector2 centre, Rect bounds, int32_t speed) {
  object.respawnDelay = respawnDelay;
  object.centre = centre;
  object.bounds = bounds;
  object.speed = speed;
}

void SetObjectType(GameObject& object, int32_t type) {
  object.type = static_cast<ObjectType>(type);
  object.hidden = false;
  switch (static_cast<ObjectType>(type)) {
    case BlueCreature:
    case GreenCreature:
      SetDefaults(object, 0, Vector2(16, 17), MakeRect(8, 2, 23, 30), 4);
      return;
    case Rock:
      SetDefaults(object, 5000, Vector2(16, 16), MakeRect(2, 2, 29, 29), 2);
      return;
    case Paper:
      SetDefaults(object, 5000, Vector2(16, 16), MakeRect(8, 8, 23, 23), 2);
      return;
    case Scissors:
      SetDefaults(object, 5000, Vector2(16, 16), MakeRect(2, 2, 29, 29), 4);
      return;
    case Key:
      SetDefaults(object, 10000, Vector2(16, 16), MakeRect(0, 0, 31, 31), 4);
      return;
    case Ladder:
      SetDefaults(object, 0, Vector2(16, 4), MakeRect(0, 0, 32, 32), 4);
      object.frame = 0;
      return;
    case Door:
      // Never possessed, stepped or hidden; it only needs a box over its cell so a key can touch it.
      SetDefaults(object, 0, Vector2(16, 16), MakeRect(0, 0, 32, 32), 0);
      return;
  }
  // Values without a kind (6, 7 and anything else) change only type and hidden.
}
