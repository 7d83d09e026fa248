// The search for a level's shortest solution in a person's moves, breadth-first over the real frame code.
#pragma once
#include <string>
#include <vector>

#include "levelcheck/steps.h"

// Macro moves explored from every state (see search.cpp for the hold lengths).
struct SearchResult {
  bool found = false;
  std::vector<Step> solution;  // shortest in moves when found
  int depth = 0;               // moves searched to, all of them when nothing was found
  bool exhausted = false;      // nothing found and no new state left: no solution in these moves at all
  bool stopped = false;        // nothing found, and the next depth held more states than memory allows
  long states = 0;             // distinct states explored
  long frames = 0;             // game frames played
};

// Searches from the level's start up to maxDepth moves.
SearchResult SearchSolution(const std::string& levelFile, int maxDepth);
