// Replaying steps on a level: whether they reach the door or where they go wrong, and what each one does.
#pragma once
#include <string>
#include <vector>

#include "levelcheck/play.h"
#include "levelcheck/steps.h"

// What a replay came to.
struct ReplayResult {
  bool reachedDoor = false;
  int doorLine = 0;   // the step's line where the door was reached
  std::string error;  // "line N: ..." when a step could not be done; empty otherwise
  long frames = 0;    // frames played
};

// Plays steps on the level from its start.
ReplayResult ReplaySteps(const std::string& levelFile, const std::vector<Step>& steps);

// The steps played from the level's start, each as its line with a comment saying what it did on screen.
std::vector<std::string> DescribeSteps(const std::string& levelFile, const std::vector<Step>& steps);

