// Breadth-first search over a person's moves on the real frame code; states told apart by what decides play.
#include "levelcheck/search.h"

#include <algorithm>
#include <unordered_set>

#include "levelcheck/play.h"
#include "platform/tick_count.h"
#include "simulation/simulation.h"

namespace {

// Hold lengths in frames, at 60 a second. 8 frames are four steps of an object's 30 ms clock: a nudge, a
// step up onto a ledge, a few degrees of the airplane's heading. 30 frames (half a second) walk a creature
// about two cells. 90 frames (a second and a half) cross much of the screen. Longer walks are several
// holds in a row; a longest hold of 90 keeps the branching low while a room is crossed in a few moves.
constexpr int HOLD_FRAMES[] = {8, 30, 90};
// One arrow or two that do not fight each other, and none: waiting.
constexpr unsigned ARROW_SETS[] = {ARROW_LEFT,
                                   ARROW_RIGHT,
                                   ARROW_UP,
                                   ARROW_DOWN,
                                   ARROW_UP | ARROW_LEFT,
                                   ARROW_UP | ARROW_RIGHT,
                                   ARROW_DOWN | ARROW_LEFT,
                                   ARROW_DOWN | ARROW_RIGHT,
                                   0};
// States kept at most: each costs about a kilobyte while its depth waits to be expanded, so a search
// asked to go deeper than memory allows stops there instead of taking the machine's memory.
constexpr size_t MAX_STATES = 4000000;
constexpr int STILL_CHECK = 2;            // frames after which a state that has come to rest looks the same again
constexpr uint32_t TICKS_PER_CYCLE = 50;  // frames at 60 a second fall on whole ms every third frame: 50 ms

// 64-bit FNV-1a over the values that make a state.
struct StateHash {
  uint64_t value = 14695981039346656037ull;
  void Add(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) value = (value ^ bytes[i]) * 1099511628211ull;
  }
  void Add(int32_t v) { Add(&v, sizeof v); }
  // -0 and 0 act alike in every rule (only compared, added and multiplied), so they hash alike.
  void Add(float v) {
    v += 0.0f;
    Add(&v, sizeof v);
  }
  void Add(Vector2 v) {
    Add(v.x);
    Add(v.y);
  }
};

// What of an object decides the rest of the game. Its animation frame only matters to scissors (their
// snips decide when they advance); for other kinds it only picks the picture, and a kind key turning one
// into scissors shifts the snips of its first steps at most. Its clock matters as "a step is due at the
// next frame or not": frames come 1/60 s apart, so an object stepped one frame ago is due at the one
// after. A hidden object's wait matters up to its respawn.
void AddObject(StateHash& h, const GameObject& o, uint32_t now) {
  h.Add(static_cast<int32_t>(o.type));
  h.Add(o.position);
  h.Add(o.velocity);
  h.Add(o.startPosition);
  h.Add(&o.bounds, sizeof o.bounds);
  h.Add(static_cast<int32_t>(o.hidden));
  if (o.type == Scissors) h.Add(o.frame);
  h.Add(static_cast<int32_t>(StepDue(o, now)));
  if (o.hidden) h.Add(std::min(static_cast<int32_t>(now - o.hiddenSince), o.respawnDelay + 1));
}

// Two states with the same key play on alike. Left out: the slot of the possessed object (a parked copy
// that the next frame writes over), the cursor (every click puts it where it goes), the background's
// scroll and the sparkles' random numbers (pictures only). The millisecond phase of the clock matters
// only to a respawn.
uint64_t StateKey() {
  const uint32_t now = GetTickCount();
  StateHash h;
  bool hidden = player.hidden;
  for (int32_t i = 0; i < objectCount; ++i) {
    if (i == player.possessedIndex) continue;
    AddObject(h, objects[i], now);
    hidden = hidden || objects[i].hidden;
  }
  AddObject(h, player, now);
  h.Add(player.possessedIndex);
  h.Add(camera);
  if (hidden) h.Add(static_cast<int32_t>(now % TICKS_PER_CYCLE));
  return h.value;
}

// The state just reached by a move from node parent.
struct Node {
  int parent;
  Step move;
};

Step MakeStep(StepKind kind) {
  Step step;
  step.kind = kind;
  return step;
}

// The one-frame moves from the state now: a click on each object on screen that could be possessed (not
// the one possessed), leaving (a key also with an arrow held), and the kind keys that change something.
std::vector<Step> OneFrameMoves(const LevelRun& run) {
  std::vector<Step> moves;
  for (int slot = 0; slot < objectCount; ++slot) {
    const ObjectType kind = run.slotKinds[slot];
    if (kind == Door || slot == player.possessedIndex || !OnScreen(SlotAtItsPlace(slot))) continue;
    Step click = MakeStep(StepKind::Click);
    click.objectKind = kind;
    click.number = SlotNumber(run, slot);
    moves.push_back(click);
  }
  if (player.possessedIndex != -1) moves.push_back(MakeStep(StepKind::Leave));
  // A key let go while an arrow is held walks on by itself, through anything, or climbs on where a wall
  // stopped it.
  if (player.type == Key) {
    for (unsigned arrows : {ARROW_LEFT, ARROW_RIGHT}) {
      Step leave = MakeStep(StepKind::Leave);
      leave.arrows = arrows;
      moves.push_back(leave);
    }
  }
  // Each key makes player that kind; pressed as that kind already, it changes nothing.
  const std::pair<int, ObjectType> keys[] = {{5, Rock}, {6, Paper}, {3, Scissors}, {4, BlueCreature}};
  for (const auto& [digit, kind] : keys) {
    if (player.type == kind && (kind != BlueCreature || player.possessedIndex == -1)) continue;
    Step press = MakeStep(StepKind::Press);
    press.digit = digit;
    moves.push_back(press);
  }
  return moves;
}

// The search's own record: nodes by their parent, the states of the depth being expanded and the next.
struct Search {
  LevelRun run;
  std::vector<Node> nodes;
  std::unordered_set<uint64_t> seen;
  std::vector<std::pair<int, PlayState>> next;
  int solutionNode = -1;
  long frames = 0;
};

// Notes the state reached by move from parent, whose key is key: the solution when it reached the door,
// else a new node when the state is new. True when the search is over.
bool Reached(Search& s, int parent, const Step& move, StepOutcome outcome, uint64_t key) {
  if (outcome == StepOutcome::ReachedDoor) {
    s.nodes.push_back(Node{parent, move});
    s.solutionNode = static_cast<int>(s.nodes.size()) - 1;
    return true;
  }
  if (outcome != StepOutcome::Played || !s.seen.insert(key).second) return false;
  s.nodes.push_back(Node{parent, move});
  s.next.emplace_back(static_cast<int>(s.nodes.size()) - 1, SaveState());
  return false;
}

// Every move from one state; true when one of them reached the door.
bool Expand(Search& s, int id, const PlayState& state) {
  RestoreState(state);
  for (const Step& move : OneFrameMoves(s.run)) {
    RestoreState(state);
    ++s.frames;
    const StepOutcome outcome = PlayStep(s.run, move);
    if (Reached(s, id, move, outcome, StateKey())) return true;
  }
  // A hold of 30 frames goes through the hold of 8, and the hold of 90 through both: each arrow set is
  // played once, its states taken at the three lengths on the way. Waiting is a hold of no arrows.
  // Objects step every other frame, so a state that comes back alike two frames later stays alike for
  // the rest of the hold: the longer lengths would only find it again, and the hold ends there.
  const uint64_t startKey = StateKey();
  for (unsigned arrows : ARROW_SETS) {
    RestoreState(state);
    uint64_t key = startKey;
    int played = 0;
    for (int frames : HOLD_FRAMES) {
      StepOutcome outcome = PlayFrames(s.run, arrows, STILL_CHECK);
      if (outcome == StepOutcome::Played && StateKey() == key) {
        s.frames += STILL_CHECK;
        break;
      }
      if (outcome == StepOutcome::Played) outcome = PlayFrames(s.run, arrows, frames - played - STILL_CHECK);
      s.frames += frames - played;
      played = frames;
      Step hold = MakeStep(arrows == 0 ? StepKind::Wait : StepKind::Hold);
      hold.arrows = arrows;
      hold.frames = frames;
      key = StateKey();
      if (Reached(s, id, hold, outcome, key)) return true;
    }
  }
  return false;
}

}  // namespace

SearchResult SearchSolution(const std::string& levelFile, int maxDepth) {
  Search s;
  s.run = StartLevel(levelFile);
  s.nodes.push_back(Node{-1, Step()});
  s.seen.insert(StateKey());
  std::vector<std::pair<int, PlayState>> frontier;
  frontier.emplace_back(0, SaveState());

  SearchResult result;
  for (int depth = 1; depth <= maxDepth && !frontier.empty(); ++depth) {
    s.next.clear();
    for (const auto& [id, state] : frontier) {
      if (s.nodes.size() > MAX_STATES) {
        result.stopped = true;
        break;
      }
      if (!Expand(s, id, state)) continue;
      for (int n = s.solutionNode; n > 0; n = s.nodes[n].parent) result.solution.push_back(s.nodes[n].move);
      std::reverse(result.solution.begin(), result.solution.end());
      result.found = true;
      result.depth = depth;
      break;
    }
    if (result.found || result.stopped) break;
    frontier.swap(s.next);
    result.depth = depth;
  }
  result.exhausted = !result.found && frontier.empty();
  result.states = static_cast<long>(s.nodes.size());
  result.frames = s.frames;
  return result;
}
