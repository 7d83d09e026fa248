// A level played over the fakes with the real frame code: its start, the steps, the door, play saved by copy.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "levelcheck/steps.h"
#include "world/world.h"

// The level as loaded: where it was read from and the kind the loader gave each slot, which is how a
// click step names an object whatever kind it has become since.
struct LevelRun {
  std::string path;
  std::vector<ObjectType> slotKinds;
};

// What a step came to.
enum class StepOutcome { Played, ReachedDoor, NoSuchObject, OffScreen, NoFreeSpot };

// The state play depends on: the world's objects, the controlled object, the view, the cursor and the
// clock. The grid is left out: only a level change alters it, and play ends there.
struct PlayState {
  std::vector<GameObject> objects;
  GameObject player;
  Vector2 camera;
  Vector2 backgroundScroll;
  int32_t cursorX = 0;
  int32_t cursorY = 0;
  int64_t micros = 0;
};

// Every module back to its start, the game brought up over the fakes, one title frame (the one the Play
// click is made in), then file loaded and play begun: the creature possesses nothing.
LevelRun StartLevel(const std::string& file);

// Plays one step from the current state. A hold or wait stops at the frame the door is reached.
StepOutcome PlayStep(const LevelRun& run, const Step& step);

// Holds the arrows (0: none) for that many frames, stopping at the frame the door is reached.
StepOutcome PlayFrames(const LevelRun& run, unsigned arrows, int frames);

// True once a key touched a door (the game has then loaded the next level).
bool DoorReached(const LevelRun& run);

PlayState SaveState();
void RestoreState(const PlayState& state);

// Slot of the click step's object, or -1 when the level has no such object.
int ClickedSlot(const LevelRun& run, ObjectType kind, int number);
// The object in slot at its real place (the possessed one stands in player meanwhile).
const GameObject& SlotAtItsPlace(int slot);
// Whether any part of the object's box is on screen.
bool OnScreen(const GameObject& object);
// The number a click step gives the object in slot: 1-based among the level's objects of its kind.
int SlotNumber(const LevelRun& run, int slot);
// The level's name for the object in slot: its kind when loaded and its number ("key 2").
std::string SlotName(const LevelRun& run, int slot);
// Position of a world point on screen, truncated as the drawing does.
int ScreenX(float worldX);
int ScreenY(float worldY);
