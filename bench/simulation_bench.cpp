// Cost of the collision test at its worst and of one object step of each kind, on a level of 100 objects.
#include <benchmark/benchmark.h>

#include "platform/fake/fake_clock.h"
#include "simulation/simulation.h"
#include "tests/support/world_builders.h"
#include "world/world.h"

namespace {

// A walled room with open space inside.
void BuildRoom() {
  ResetWorld();
  BuildAngleTables();
  for (int c = 0; c < GRID_COLUMNS; ++c) {
    for (int r = 0; r < GRID_ROWS; ++r) {
      const bool border = c == 0 || r == 0 || c == GRID_COLUMNS - 1 || r == GRID_ROWS - 1;
      levelGrid[c][r] = border ? WALL_CELL : '.';
    }
  }
  player.possessedIndex = -1;
}

// A rock whose moved box (357..384 both ways) lies over four cells: the one it is in, open, and three
// walls it touches only edge to edge, so all four are read and three squares tested, and the move is free.
GameObject RockBesideThreeWalls() {
  levelGrid[12][11] = WALL_CELL;
  levelGrid[11][12] = WALL_CELL;
  levelGrid[12][12] = WALL_CELL;
  GameObject rock = Make(Rock, 353, 355);
  rock.velocity = Vector2(2, 0);
  return rock;
}

// The worst the test meets: a rock among 100 objects of other kinds, none in its way, so every one is
// examined with both of its box tests, and then the four cells under it.
void CanMoveWorstCase(benchmark::State& state) {
  BuildRoom();
  const int32_t kinds[] = {BlueCreature, Paper, Scissors, Key, Ladder};
  for (int i = 0; i < MAX_OBJECTS; ++i) {
    objects[objectCount++] = Make(kinds[i % 5], 64 + 48 * float(i % 20), 600 + 48 * float(i / 20));
  }
  GameObject rock = RockBesideThreeWalls();
  for (auto _ : state) {
    bool free = CanMove(rock, Vector2(2, 0));
    benchmark::DoNotOptimize(free);
  }
  if (!CanMove(rock, Vector2(2, 0))) state.SkipWithError("the worst case must run to the end and answer free");
}
BENCHMARK(CanMoveWorstCase);

// The same with all 100 objects in the rock's own columns, above and below it, so no object's box can be
// ruled out by its x edges alone: every box is placed in full, twice.
void CanMoveCrowdedColumn(benchmark::State& state) {
  BuildRoom();
  const int32_t kinds[] = {BlueCreature, Paper, Scissors, Key, Ladder};
  for (int i = 0; i < MAX_OBJECTS; ++i) {
    const float y = i < 50 ? 300 - 5 * float(i) : 420 + 5 * float(i - 50);
    objects[objectCount++] = Make(kinds[i % 5], 353, y);
  }
  GameObject rock = RockBesideThreeWalls();
  for (auto _ : state) {
    bool free = CanMove(rock, Vector2(2, 0));
    benchmark::DoNotOptimize(free);
  }
  if (!CanMove(rock, Vector2(2, 0))) state.SkipWithError("the crowded case must run to the end and answer free");
}
BENCHMARK(CanMoveCrowdedColumn);

// One due step of an object of the given kind in mid-air, among 100 objects it never meets.
void UpdateObjectStep(benchmark::State& state) {
  BuildRoom();
  for (int i = 0; i < MAX_OBJECTS; ++i) {
    objects[objectCount++] = Make(i % 2 ? Rock : Scissors, 64 + 48 * float(i % 20), 64 + 48 * float(i / 20));
  }
  const int32_t kind = int32_t(state.range(0));
  GameObject start = Make(kind, 600, 600);
  // Moving, except the creature, which falls only while it does not walk.
  start.velocity = kind == Paper ? Vector2(6, 30) : kind == BlueCreature ? Vector2(0, 0) : Vector2(2, 0);
  state.SetLabel(kind == BlueCreature ? "creature" : kind == Rock ? "rock" : kind == Paper ? "paper airplane"
                 : kind == Scissors ? "scissors" : kind == Key ? "key" : "ladder");
  SetTickCount(1000);  // start.lastStepTick is 0: every copy is due a step
  GameObject object = start;
  for (auto _ : state) {
    object = start;
    UpdateObject(object);
    benchmark::DoNotOptimize(object);
  }
  if (object.lastStepTick != 1000) state.SkipWithError("no step was made");
}
BENCHMARK(UpdateObjectStep)->Arg(BlueCreature)->Arg(Rock)->Arg(Paper)->Arg(Scissors)->Arg(Key)->Arg(Ladder);

}  // namespace
