// The solution-steps format shared by level makers and the checker: one step a line, '#' starts a comment.
#pragma once
#include <istream>
#include <string>
#include <vector>

#include "world/world.h"

enum class StepKind { Click, Leave, Hold, Press, Wait };

// Held arrows of a hold, as bits.
constexpr unsigned ARROW_LEFT = 1, ARROW_RIGHT = 2, ARROW_UP = 4, ARROW_DOWN = 8;

// One step. Only the fields of its kind mean anything.
struct Step {
  StepKind kind = StepKind::Wait;
  ObjectType objectKind = Rock;  // click: the kind the level gave the object
  int number = 0;                // click: 1-based among the level's objects of that kind
  unsigned arrows = 0;           // hold; leave: still held as the click is made
  int frames = 0;                // hold, wait
  int digit = 0;                 // press: 3, 4, 5 or 6
  int line = 0;                  // where it stands in its file (0 for steps made by the search)
};

// Reads every step; false at the first line that is no step, with error saying what is wrong there
// ("line N: ...").
bool ReadSteps(std::istream& in, std::vector<Step>& steps, std::string& error);

// A step as a line of the format, without a comment.
std::string FormatStep(const Step& step);

// The word a player calls a kind by ("rock", ...); "" for kinds that cannot be clicked by name.
const char* KindWord(ObjectType kind);
