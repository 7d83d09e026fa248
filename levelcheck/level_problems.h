// What is wrong with a level file, as the game's loader reads it and as its author laid it out.
#pragma once
#include <string>
#include <vector>

struct LevelProblem {
  bool fatal;        // keeps the level from being finished: no creature, key or door, or no file to read
  std::string text;  // one line for the level's author, without the file's name
};

// Reads file as the game does and lists its problems in file order, the fatal ones last. Leaves the
// world as the loader left it.
std::vector<LevelProblem> CheckLevelFile(const std::string& file);

// Whether any problem is fatal.
bool AnyFatal(const std::vector<LevelProblem>& problems);
