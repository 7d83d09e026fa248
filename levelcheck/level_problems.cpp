// A level file's problems: layout, characters that mean nothing, too many objects, runaway ladders, gaps.
#include "levelcheck/level_problems.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/regular_file.h"
#include "world/world.h"

namespace {

constexpr int CELLS = GRID_COLUMNS * GRID_ROWS;
constexpr size_t READ_LIMIT = 1 << 20;

// Where a cell character stands in the file, 1-based as editors count.
struct Place {
  int line = 0;
  int column = 0;
};

std::string At(const Place& p) { return "line " + std::to_string(p.line) + ", column " + std::to_string(p.column); }

// The loader's whitespace: the six classic blanks.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

bool IsObjectCell(char c) { return c == 'R' || c == 'P' || c == 'S' || c == 'K' || c == 'L' || c == '#'; }

bool HasMeaning(char c) { return c == WALL_CELL || c == '.' || c == 'G' || IsObjectCell(c); }

// A character as it can be shown on one line: itself when printable, else its byte value.
std::string Shown(char c) {
  if (c > ' ' && c < 127) return std::string("\"") + c + "\"";
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(c));
  return hex;
}

// The ladder rule's scan from the "L" at (column, row), seen from outside: true when it ends below the
// top row, at a "." above a run of walls; false when it runs into the top of the world.
bool LadderEnds(const char grid[GRID_COLUMNS][GRID_ROWS], int column, int row) {
  bool wallSeen = false;
  for (int r = row - 1; r >= 0; --r) {
    const char cell = grid[column][r];
    if (cell == '.' && wallSeen) return true;
    if (cell == WALL_CELL) wallSeen = true;
  }
  return false;
}

void Warn(std::vector<LevelProblem>& problems, const std::string& text) { problems.push_back({false, text}); }

// The cell characters in reading order with their places, and the layout problems of the lines they
// stand on: a row that is not 40 cells, blanks inside a row, the count of rows.
std::vector<Place> ReadLayout(const std::string& bytes, std::string& cells, std::vector<LevelProblem>& problems) {
  std::vector<Place> places;
  int line = 1;
  int rows = 0;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    int count = 0;
    bool gap = false;
    bool blankAfterCell = false;
    for (size_t i = start; i < end; ++i) {
      if (IsBlank(bytes[i])) {
        if (count > 0) blankAfterCell = true;
        continue;
      }
      if (blankAfterCell) gap = true;
      ++count;
      cells += bytes[i];
      places.push_back(Place{line, static_cast<int>(i - start) + 1});
    }
    // Only rows that are read count; what follows the 1200th cell is reported once, below.
    if (count > 0 && static_cast<int>(cells.size()) - count < CELLS) {
      ++rows;
      if (count != GRID_COLUMNS)
        Warn(problems, "line " + std::to_string(line) + ": " + std::to_string(count) +
                           " cells, not 40: the loader fills the grid row by row regardless of lines");
      if (gap) Warn(problems, "line " + std::to_string(line) + ": blanks between cells are skipped by the loader");
    }
    start = end + 1;
    ++line;
  }
  if (rows != GRID_ROWS && !cells.empty()) Warn(problems, std::to_string(rows) + " rows of cells, not 30");
  return places;
}

}  // namespace

bool AnyFatal(const std::vector<LevelProblem>& problems) {
  for (const LevelProblem& p : problems)
    if (p.fatal) return true;
  return false;
}

std::vector<LevelProblem> CheckLevelFile(const std::string& file) {
  std::vector<LevelProblem> problems;
  RegularFileStream in(file);
  if (!in.is_open()) {
    problems.push_back({true, "cannot be read (missing, unreadable or not a regular file)"});
    return problems;
  }
  // The grid is in the first 1200 cells; a megabyte holds them with room for any layout, and keeps a
  // huge file from being read whole.
  std::string bytes;
  char chunk[4096];
  while (bytes.size() < READ_LIMIT && (in.read(chunk, sizeof chunk) || in.gcount() > 0))
    bytes.append(chunk, static_cast<size_t>(in.gcount()));
  if (in.bad()) {
    problems.push_back({true, "cannot be read to its end"});
    return problems;
  }

  std::string cells;
  const std::vector<Place> places = ReadLayout(bytes, cells, problems);
  const int read = std::min(static_cast<int>(cells.size()), CELLS);
  if (read < CELLS)
    Warn(problems, "only " + std::to_string(read) +
                       " of the 1200 cells: the game leaves the rest as the level it loaded before had them");
  if (static_cast<int>(cells.size()) > CELLS)
    Warn(problems, "the cells from " + At(places[CELLS]) + " on are beyond the 1200th and never read");

  // Characters that mean nothing, one line per character: where it is first and how often.
  std::map<char, std::pair<int, Place>> meaningless;
  for (int i = 0; i < read; ++i) {
    if (HasMeaning(cells[i])) continue;
    auto& seen = meaningless[cells[i]];
    if (seen.first++ == 0) seen.second = places[i];
  }
  for (const auto& [c, seen] : meaningless)
    Warn(problems, Shown(c) + " means nothing to the game (" + std::to_string(seen.first) +
                       (seen.first == 1 ? " cell, at " : " cells, first at ") + At(seen.second) +
                       "): open space that is not \".\" for the ladder rule");

  int creatures = 0;
  Place lastCreature;
  int objectCells = 0;
  for (int i = 0; i < read; ++i) {
    if (cells[i] == 'G') {
      ++creatures;
      lastCreature = places[i];
    }
    if (IsObjectCell(cells[i]) && ++objectCells == MAX_OBJECTS + 1)
      Warn(problems, "more objects than the game holds (100): the ones from " + At(places[i]) + " on are never made");
  }
  if (creatures > 1)
    Warn(problems, std::to_string(creatures) + " creatures \"G\": play starts at the last, " + At(lastCreature));

  // The game's own loader decides what the level holds.
  ResetWorld();
  LoadLevel(file);
  for (int i = 0; i < read; ++i) {
    const int c = i % GRID_COLUMNS;
    const int r = i / GRID_COLUMNS;
    if (cells[i] == 'L' && !LadderEnds(levelGrid, c, r))
      Warn(problems, "the ladder at " + At(places[i]) +
                         " meets no open \".\" above a run of walls and reaches the top of the world");
  }
  bool key = false;
  bool door = false;
  for (int i = 0; i < objectCount; ++i) {
    key = key || objects[i].type == Key;
    door = door || objects[i].type == Door;
  }
  if (creatures == 0) problems.push_back({true, "no creature \"G\": there is nobody to play"});
  if (!key)
    problems.push_back({true, objectCells > MAX_OBJECTS ? "no key \"K\" among the 100 objects the game makes"
                                                        : "no key \"K\": the door cannot be reached"});
  if (!door)
    problems.push_back({true, objectCells > MAX_OBJECTS ? "no door \"#\" among the 100 objects the game makes"
                                                        : "no door \"#\": the level cannot be finished"});
  return problems;
}
