// The simulation: the one collision test and the per-tick step of an object.
#pragma once
#include "world/geometry.h"
#include "world/world.h"

// True when object may move by displacement: it stays inside the world's frame bands, meets no object its
// kind is stopped by, and enters no wall cell. It never applies the displacement; the caller does on true.
// Two rules change the world while it runs: a rock running into a rock climbs 2 pixels (object's frame and
// position change, the answer stays false), and a key touching a door loads "level2.vem" at once, after
// which the test goes on over the new level (object may be player, which the load rewrites).
// Called by the control on player before it grants a velocity, and by UpdateObject for falls and flight.
bool CanMove(GameObject& object, Vector2 displacement);

// True when the box holds no part of a wall cell (cells outside the grid block nothing here). CanMove's
// last test; the level tests ask it whether a key lies clear of the rock.
bool WallsAllow(const Rect& obj);

// Advances object by one step when more than 30 ms of the tick count have passed since its last step
// (animation, velocity, fall, the paper airplane's flight and crash), and on every call brings a hidden
// object back to startPosition once its respawn delay has run out.
// Called by the frame for player once per play frame and for each key just before it is drawn.
void UpdateObject(GameObject& object);

// Whether object's step clock lets it step at tick count now: more than 30 ms since its last step.
// Called by UpdateObject, and by the level checker, for which a state's clock matters only as this.
bool StepDue(const GameObject& object, uint32_t now);

// Turns a rock one frame of its 16 against its direction of roll; both its step and its climb roll it.
void RollRockFrame(GameObject& rock);
