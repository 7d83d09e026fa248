// vems-levelcheck: checks level files as the game reads them, solves them, and replays written solutions.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "levelcheck/level_problems.h"
#include "levelcheck/replay.h"
#include "levelcheck/search.h"
#include "platform/regular_file.h"

namespace {

// Moves searched without --depth: the shipped levels are searched this deep in well under a minute.
constexpr int DEFAULT_DEPTH = 4;
constexpr int MAX_DEPTH = 50;

enum ExitStatus { Fine = 0, Failed = 1, Usage = 2 };

const char* const USAGE =
    "Usage: vems-levelcheck [--depth N] FILE...\n"
    "       vems-levelcheck --replay STEPSFILE FILE\n"
    "Checks Vems level files as the game reads them and searches each for its shortest solution\n"
    "(N moves deep; 0 checks the files only), or replays a solution written as steps.\n"
    "Exit status: 0 fine, 1 a level cannot be finished or the steps do not reach the door, 2 bad usage.\n";

int Misused(const std::string& why) {
  std::fprintf(stderr, "vems-levelcheck: %s\n%s", why.c_str(), USAGE);
  return Usage;
}

// The file's problems, one line each; true when none keeps the level from being finished.
bool ReportProblems(const std::string& file) {
  const std::vector<LevelProblem> problems = CheckLevelFile(file);
  for (const LevelProblem& p : problems)
    std::printf("%s: %s: %s\n", file.c_str(), p.fatal ? "error" : "warning", p.text.c_str());
  return !AnyFatal(problems);
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void ReportSearch(const std::string& file, int depth) {
  const auto start = std::chrono::steady_clock::now();
  const SearchResult result = SearchSolution(file, depth);
  const double seconds = SecondsSince(start);
  char figures[160];
  std::snprintf(figures, sizeof figures, "%ld states explored in %.2f s, %.0f states/s, %.0f frames/s", result.states,
                seconds, seconds > 0 ? result.states / seconds : 0.0, seconds > 0 ? result.frames / seconds : 0.0);
  if (!result.found) {
    const char* why = result.exhausted ? ", and no move leads anywhere new"
                      : result.stopped ? "; deeper holds more states than the search keeps"
                                       : "";
    std::printf("%s: no solution within %d moves%s (%s)\n", file.c_str(), result.depth, why, figures);
    return;
  }
  std::printf("%s: shortest solution, %zu moves (%s):\n", file.c_str(), result.solution.size(), figures);
  for (const std::string& line : DescribeSteps(file, result.solution)) std::printf("%s\n", line.c_str());
}

int CheckAndSearch(const std::vector<std::string>& files, int depth) {
  int status = Fine;
  for (const std::string& file : files) {
    if (!ReportProblems(file)) {
      status = Failed;
      continue;
    }
    if (depth > 0) ReportSearch(file, depth);
  }
  return status;
}

int Replay(const std::string& stepsFile, const std::string& levelFile) {
  if (!ReportProblems(levelFile)) return Failed;
  RegularFileStream in(stepsFile);
  if (!in.is_open()) {
    std::printf("%s: error: cannot be read\n", stepsFile.c_str());
    return Failed;
  }
  std::vector<Step> steps;
  std::string error;
  if (!ReadSteps(in, steps, error)) {
    std::printf("%s: error: %s\n", stepsFile.c_str(), error.c_str());
    return Failed;
  }
  const ReplayResult result = ReplaySteps(levelFile, steps);
  if (!result.error.empty()) {
    std::printf("%s: error: %s\n", stepsFile.c_str(), result.error.c_str());
    return Failed;
  }
  if (!result.reachedDoor) {
    // What each step did, so whoever wrote them sees where play went another way than they meant.
    std::printf("%s: %s does not reach the door (%ld frames played):\n", levelFile.c_str(), stepsFile.c_str(),
                result.frames);
    for (const std::string& line : DescribeSteps(levelFile, steps)) std::printf("  %s\n", line.c_str());
    return Failed;
  }
  std::printf("%s: %s reaches the door at line %d, frame %ld\n", levelFile.c_str(), stepsFile.c_str(), result.doorLine,
              result.frames);
  return Fine;
}

// A whole number from 0 to most, nothing else.
bool ReadDepth(const char* text, int& depth) {
  char* end = nullptr;
  const long n = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || n < 0 || n > MAX_DEPTH) return false;
  depth = static_cast<int>(n);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int depth = DEFAULT_DEPTH;
  const char* stepsFile = nullptr;
  std::vector<std::string> files;
  bool optionsEnd = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (optionsEnd || arg.empty() || arg[0] != '-' || arg == "-") {
      files.push_back(arg);
    } else if (arg == "--") {
      optionsEnd = true;
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(USAGE, stdout);
      return Fine;
    } else if (arg == "--depth" && i + 1 < argc) {
      if (!ReadDepth(argv[++i], depth)) return Misused("--depth takes a number of moves from 0 to 50");
    } else if (arg == "--replay" && i + 1 < argc) {
      stepsFile = argv[++i];
    } else {
      return Misused("unknown option or missing value: " + arg);
    }
  }
  if (files.empty()) return Misused("no level file");
  if (stepsFile != nullptr) {
    if (files.size() != 1) return Misused("--replay takes one level file");
    return Replay(stepsFile, files[0]);
  }
  return CheckAndSearch(files, depth);
}
