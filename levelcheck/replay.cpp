// Steps replayed from the level's start: to the door or to the line that fails, and told in words.
#include "levelcheck/replay.h"

#include <algorithm>

#include "platform/fake/fake_clock.h"

namespace {

// Why a step could not be done, in words ("" when it could).
std::string OutcomeProblem(const Step& step, StepOutcome outcome) {
  const std::string object = std::string(KindWord(step.objectKind)) + " " + std::to_string(step.number);
  switch (outcome) {
    case StepOutcome::Played:
    case StepOutcome::ReachedDoor:
      return "";
    case StepOutcome::NoSuchObject:
      return "the level has no " + object;
    case StepOutcome::OffScreen:
      return object + " is not on screen";
    case StepOutcome::NoFreeSpot:
      return "no spot on screen is free of objects to click";
  }
  return "";
}

}  // namespace

ReplayResult ReplaySteps(const std::string& levelFile, const std::vector<Step>& steps) {
  ReplayResult result;
  const LevelRun run = StartLevel(levelFile);
  // Frames fall on whole microseconds rounded up from the 1/60 s grid, so this counts them exactly.
  auto frameNumber = [] { return static_cast<long>(FakeMicroseconds() * 60 / 1000000); };
  const long start = frameNumber();
  for (const Step& step : steps) {
    const StepOutcome outcome = PlayStep(run, step);
    result.frames = frameNumber() - start;
    if (outcome == StepOutcome::ReachedDoor) {
      result.reachedDoor = true;
      result.doorLine = step.line;
      return result;
    }
    const std::string problem = OutcomeProblem(step, outcome);
    if (!problem.empty()) {
      result.error = "line " + std::to_string(step.line) + ": " + FormatStep(step) + ": " + problem;
      return result;
    }
  }
  return result;
}

namespace {

// "screen 120,344": where the object's top left corner is on screen.
std::string ScreenPlace(const GameObject& o) {
  return "screen " + std::to_string(ScreenX(o.position.x)) + "," + std::to_string(ScreenY(o.position.y));
}

// The object under control as a person sees it: the creature, or the possessed object by its name and
// what it is now when a kind key changed it.
std::string Controlled(const LevelRun& run) {
  if (player.possessedIndex < 0) return "the creature";
  std::string name = "the " + SlotName(run, player.possessedIndex);
  const ObjectType now = player.type;
  if (now != run.slotKinds[player.possessedIndex])
    name += std::string(" (now ") + (now == BlueCreature ? "a creature" : KindWord(now)) + ")";
  return name;
}

// What one step did, from the state before it to the state after.
std::string Describe(const LevelRun& run, const Step& step, const std::string& before, const std::string& from,
                     Vector2 viewBefore, StepOutcome outcome) {
  if (outcome == StepOutcome::ReachedDoor) return "the key touches the door: the next level loads";
  std::string text;
  switch (step.kind) {
    case StepKind::Click:
      if (player.possessedIndex < 0) return "the click possesses nothing";
      return "possess " + Controlled(run) + " at " + ScreenPlace(player);
    case StepKind::Leave:
      return "leave " + before + "; the creature comes out at " + ScreenPlace(player);
    case StepKind::Press:
      return before + " becomes " + Controlled(run);
    case StepKind::Hold:
    case StepKind::Wait:
      text = Controlled(run) + " goes from " + from + " to " + ScreenPlace(player);
      break;
  }
  if (camera != viewBefore) text += "; the view scrolls";
  return text;
}

}  // namespace

std::vector<std::string> DescribeSteps(const std::string& levelFile, const std::vector<Step>& steps) {
  std::vector<std::string> lines;
  const LevelRun run = StartLevel(levelFile);
  for (const Step& step : steps) {
    const std::string before = Controlled(run);
    const std::string from = ScreenPlace(player);
    const Vector2 viewBefore = camera;
    const StepOutcome outcome = PlayStep(run, step);
    std::string line = FormatStep(step);
    line.resize(std::max<size_t>(line.size() + 1, 20), ' ');
    lines.push_back(line + "# " + Describe(run, step, before, from, viewBefore, outcome));
    if (outcome != StepOutcome::Played) break;
  }
  return lines;
}
