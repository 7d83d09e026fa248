// The level loader: grid reading, the objects it builds, the ladder rule, the view, hostile files.
#include <fstream>
#include <sstream>
#include <string>

#include "support/fixture.h"
#include "support/non_regular_files.h"
#include "world/level.h"
#include "world/world.h"

namespace {

// A level drawn in a test: a walled room of open cells, with cells set by (column, row).
struct Sketch {
  std::string rows[GRID_ROWS];
  Sketch() {
    for (int r = 0; r < GRID_ROWS; ++r) {
      const bool edge = r == 0 || r == GRID_ROWS - 1;
      rows[r] = edge ? std::string(40, '*') : "*" + std::string(38, '.') + "*";
    }
  }
  Sketch& Set(int column, int row, char cell) {
    rows[row][column] = cell;
    return *this;
  }
  std::string Text() const {
    std::string text;
    for (const std::string& row : rows) text += row + "\n";
    return text;
  }
  void Load() const {
    std::istringstream in(Text());
    LoadLevelFromStream(in);
  }
};

void LoadText(const std::string& text) {
  std::istringstream in(text);
  LoadLevelFromStream(in);
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Everything a load decides, so two loads can be compared whole.
std::string Snapshot() {
  std::ostringstream out;
  out.write(&levelGrid[0][0], sizeof levelGrid);
  out << objectCount << ' ' << player.position.x << ',' << player.position.y << ' ' << camera.x << ','
      << camera.y << ' ' << backgroundScroll.x << ',' << backgroundScroll.y << '\n';
  for (int i = 0; i < objectCount; ++i) {
    const GameObject& o = objects[i];
    out << o.type << ' ' << o.position.x << ',' << o.position.y << ' ' << o.bounds.bottom << '\n';
  }
  return out.str();
}

void ExpectAt(const GameObject& object, ObjectType type, float x, float y) {
  EXPECT_EQ(object.type, type);
  EXPECT_EQ(object.position.x, x);
  EXPECT_EQ(object.position.y, y);
}

}  // namespace

using LevelTest = GameTest;

TEST_F(LevelTest, ExampleLevelYieldsItsObjectsPlayerAndView) {
  LoadLevel(TestFile("levels/example.vem"));

  ASSERT_EQ(objectCount, 6);
  ExpectAt(objects[0], Key, 480, 608);     // "K" at column 15, row 19
  ExpectAt(objects[1], Ladder, 384, 640);  // "L" at (12, 28) grown by seven open cells and one wall
  EXPECT_EQ(objects[1].bounds, MakeRect(0, 0, 32, 288));
  EXPECT_TRUE(objects[1].startPosition == Vector2(384, 896));
  ExpectAt(objects[2], Rock, 800, 896);       // (25, 28)
  ExpectAt(objects[3], Paper, 896, 896);      // (28, 28)
  ExpectAt(objects[4], Scissors, 992, 896);   // (31, 28)
  ExpectAt(objects[5], Door, 1184, 896);      // (37, 28)
  for (int i = 0; i < objectCount; ++i) {
    EXPECT_TRUE(objects[i].velocity == Vector2(0, 0)) << i;
    EXPECT_EQ(objects[i].possessedIndex, -1) << i;
    EXPECT_FALSE(objects[i].hidden) << i;
  }
  EXPECT_TRUE(objects[0].startPosition == Vector2(480, 608));

  ExpectAt(player, BlueCreature, 64, 896);  // "G" at (2, 28)
  EXPECT_TRUE(player.startPosition == Vector2(64, 896));
  EXPECT_EQ(player.possessedIndex, -1);
  EXPECT_EQ(player.bounds, MakeRect(8, 2, 23, 30));
  EXPECT_TRUE(camera == Vector2(0, 480));  // (64 - 320, 896 - 240) clamped
  EXPECT_TRUE(backgroundScroll == Vector2(0, 240));

  EXPECT_EQ(levelGrid[0][0], '*');
  EXPECT_EQ(levelGrid[12][20], '*');
  EXPECT_EQ(levelGrid[2][28], 'G');  // every character stays in the grid as read
  EXPECT_EQ(levelGrid[1][1], '.');
}

TEST_F(LevelTest, LineLayoutAndBlanksDoNotMatter) {
  const std::string lines = ReadFile(TestFile("levels/example.vem"));
  LoadText(lines);
  const std::string expected = Snapshot();
  ASSERT_EQ(objectCount, 6);

  std::string oneLine;
  for (char ch : lines)
    if (ch != '\n') oneLine += ch;
  std::string scattered;
  for (size_t i = 0; i < oneLine.size(); ++i) {
    scattered += oneLine[i];
    if (i % 7 == 0) scattered += " \t";
    if (i % 13 == 0) scattered += "\r\n\n";
    if (i % 29 == 0) scattered += "\v\f";
  }

  for (const std::string& text : {oneLine, scattered, "\n\n  " + lines}) {
    ResetAllState();
    LoadText(text);
    EXPECT_EQ(Snapshot(), expected);
  }
}

TEST_F(LevelTest, StopsReadingAfterTheGridsLastCell) {
  Sketch level;
  level.Set(2, 28, 'G');
  const std::string compact = [&] {
    std::string all;
    for (const std::string& row : level.rows) all += row;
    return all;
  }();
  std::istringstream in(compact + "GKKKKRRRR" + std::string(5000, 'L'));
  LoadLevelFromStream(in);

  EXPECT_EQ(objectCount, 0);
  EXPECT_TRUE(player.position == Vector2(64, 896));
  EXPECT_EQ(in.tellg(), std::streampos(1200));  // the rest is left unread
}

TEST_F(LevelTest, LadderGrowsThroughOpenCellsAndTheFirstWallRun) {
  // Wall directly above, open cell above that: two cells high.
  Sketch().Set(5, 10, 'L').Set(5, 9, '*').Load();
  ASSERT_EQ(objectCount, 1);
  EXPECT_EQ(objects[0].bounds, MakeRect(0, 0, 32, 64));
  EXPECT_EQ(objects[0].position.y, 9 * 32);
  EXPECT_EQ(objects[0].startPosition.y, 10 * 32);
  EXPECT_EQ(objects[0].frame, 0);

  // Going up: ".", ".", "*", "." gives three extra cells.
  Sketch().Set(5, 10, 'L').Set(5, 7, '*').Load();
  EXPECT_EQ(objects[0].bounds.bottom, 128);
  EXPECT_EQ(objects[0].position.y, 7 * 32);

  // A run of several walls is climbed whole; the open cell above it ends the ladder.
  Sketch().Set(5, 10, 'L').Set(5, 8, '*').Set(5, 7, '*').Set(5, 6, '*').Load();
  EXPECT_EQ(objects[0].bounds.bottom, 32 + 4 * 32);
  EXPECT_EQ(objects[0].position.y, 6 * 32);
}

TEST_F(LevelTest, LadderStepsOverOtherCharactersWithoutCountingThem) {
  // Going up from the "L" in row 10: "R", ".", "x", "*", "." counts only the "." and the "*".
  Sketch().Set(5, 10, 'L').Set(5, 9, 'R').Set(5, 7, 'x').Set(5, 6, '*').Load();
  ASSERT_EQ(objectCount, 2);
  ExpectAt(objects[0], Rock, 5 * 32, 9 * 32);  // read first, being higher up
  ExpectAt(objects[1], Ladder, 5 * 32, 10 * 32 - 64);
  EXPECT_EQ(objects[1].bounds.bottom, 96);
}

TEST_F(LevelTest, LadderScanEndsAtTheTopRow) {
  // An open column all the way up: the ladder reaches the top of the world and no further.
  Sketch level;
  for (int r = 0; r < 28; ++r) level.Set(5, r, '.');
  level.Set(5, 28, 'L').Load();
  EXPECT_EQ(objects[0].position.y, 0);
  EXPECT_EQ(objects[0].bounds.bottom, 32 + 28 * 32);

  // A wall run that reaches row 0 is counted to row 0.
  Sketch().Set(5, 3, 'L').Load();  // rows 2 and 1 open, row 0 the outer wall
  EXPECT_EQ(objects[0].position.y, 0);
  EXPECT_EQ(objects[0].bounds.bottom, 128);

  // A ladder in the top row has nothing above it.
  Sketch().Set(5, 0, 'L').Load();
  EXPECT_EQ(objects[0].position.y, 0);
  EXPECT_EQ(objects[0].bounds, MakeRect(0, 0, 32, 32));
}

TEST_F(LevelTest, CameraCentresOnTheCreatureInsideTheWorld) {
  Sketch().Set(2, 28, 'G').Load();
  EXPECT_TRUE(camera == Vector2(0, 480));

  Sketch().Set(20, 15, 'G').Load();
  EXPECT_TRUE(camera == Vector2(320, 240));
  EXPECT_TRUE(backgroundScroll == Vector2(160, 120));

  Sketch().Set(39, 0, 'G').Load();
  EXPECT_TRUE(camera == Vector2(640, 0));
  EXPECT_TRUE(backgroundScroll == Vector2(320, 0));
}

TEST_F(LevelTest, LastCreatureWinsAndALevelWithoutOneKeepsThePlayer) {
  Sketch().Set(20, 15, 'G').Set(3, 4, 'K').Set(39, 0, 'G').Load();
  // (39, 0) is read first, (20, 15) last.
  EXPECT_TRUE(player.position == Vector2(640, 480));
  EXPECT_TRUE(camera == Vector2(320, 240));
  EXPECT_EQ(objectCount, 1);

  player.possessedIndex = 0;
  player.position = Vector2(100, 200);
  camera = Vector2(7, 8);
  backgroundScroll = Vector2(3, 4);
  Sketch().Set(10, 10, 'R').Set(11, 10, 'R').Load();
  EXPECT_EQ(objectCount, 2);
  EXPECT_EQ(player.possessedIndex, 0);
  EXPECT_TRUE(player.position == Vector2(100, 200));
  EXPECT_TRUE(camera == Vector2(7, 8));
  EXPECT_TRUE(backgroundScroll == Vector2(3, 4));
}

TEST_F(LevelTest, MissingFileRebuildsThePreviousLevelAtItsStart) {
  LoadLevel(TestFile("levels/example.vem"));
  objects[2].position = Vector2(500, 500);  // the rock has rolled, is hidden and animated
  objects[2].hidden = true;
  objects[2].frame = 11;
  objects[2].lastStepTick = 1234;
  objects[1].bounds.bottom = 32;  // a possessed ladder shrunk
  player.position = Vector2(700, 100);
  objectCount = 0;

  LoadLevel(TestFile("levels/no-such-level.vem"));

  ASSERT_EQ(objectCount, 6);
  ExpectAt(objects[2], Rock, 800, 896);
  EXPECT_FALSE(objects[2].hidden);
  EXPECT_EQ(objects[2].frame, 11);  // fields the loader does not set keep their values
  EXPECT_EQ(objects[2].lastStepTick, 1234u);
  EXPECT_EQ(objects[1].bounds.bottom, 288);
  EXPECT_TRUE(player.position == Vector2(64, 896));
}

// A pipe would block the game in open() for good; it, and every other name that is no regular file,
// loads as a missing file does.
TEST_F(LevelTest, AnythingButARegularFileLoadsAsAMissingFile) {
  LoadLevel(TestFile("levels/example.vem"));
  const std::string loaded = Snapshot();
  for (const NonRegularFile& file : NonRegularFiles()) {
    objectCount = 0;
    LoadLevel(file.path);
    EXPECT_EQ(Snapshot(), loaded) << file.kind;
  }
}

TEST_F(LevelTest, ShortOrEmptyFileKeepsTheCellsItCannotRead) {
  LoadLevel(TestFile("levels/example.vem"));
  // Only the first row and one cell of the second arrive.
  LoadText(std::string(40, '.') + "K");
  EXPECT_EQ(levelGrid[39][0], '.');
  EXPECT_EQ(levelGrid[0][1], 'K');
  EXPECT_EQ(levelGrid[1][1], '.');
  EXPECT_EQ(levelGrid[2][28], 'G');  // old characters from here on
  EXPECT_EQ(levelGrid[39][29], '*');
  ASSERT_EQ(objectCount, 7);
  ExpectAt(objects[0], Key, 0, 32);
  ExpectAt(objects[1], Key, 480, 608);

  const std::string before = Snapshot();
  LoadText("");
  EXPECT_EQ(Snapshot(), before);
  LoadText("   \n\t\n");
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(LevelTest, SmallerLevelLeavesOldEntriesOutsideTheCount) {
  LoadLevel(TestFile("levels/example.vem"));
  Sketch().Set(3, 3, 'S').Load();
  EXPECT_EQ(objectCount, 1);
  ExpectAt(objects[0], Scissors, 96, 96);
  ExpectAt(objects[5], Door, 1184, 896);  // not part of the level, not cleared either
}

TEST_F(LevelTest, ObjectsBeyondTheHundredthAreIgnored) {
  Sketch level;
  for (int r = 1; r <= 5; ++r)
    for (int c = 1; c <= 30; ++c) level.Set(c, r, 'R');  // 150 rocks
  level.Set(3, 20, 'G').Set(4, 20, 'K');
  level.Load();

  EXPECT_EQ(objectCount, MAX_OBJECTS);
  ExpectAt(objects[99], Rock, 10 * 32, 4 * 32);  // the hundredth: row 4, column 10
  EXPECT_EQ(levelGrid[4][20], 'K');              // still in the grid
  EXPECT_TRUE(player.position == Vector2(96, 640));  // a creature after the excess still counts
}

TEST_F(LevelTest, HostileFilesLoadWithinBounds) {
  LoadText(std::string(1200, 'L'));  // every ladder sees only "L" above it
  EXPECT_EQ(objectCount, MAX_OBJECTS);
  EXPECT_EQ(objects[99].bounds, MakeRect(0, 0, 32, 32));
  EXPECT_EQ(objects[99].position.y, 64);

  LoadText(std::string(5000, 'K'));
  EXPECT_EQ(objectCount, MAX_OBJECTS);
  ExpectAt(objects[99], Key, 19 * 32, 2 * 32);  // 100th cell: row 2, column 19

  LoadText(std::string(1200, '\0'));
  EXPECT_EQ(objectCount, 0);
  EXPECT_EQ(levelGrid[39][29], '\0');

  std::string noise(4096, '\0');
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = char((i * 2654435761u) >> 13);
  LoadText(noise);
  EXPECT_GT(objectCount, 0);
  EXPECT_LE(objectCount, MAX_OBJECTS);
  for (int i = 0; i < objectCount; ++i) {
    EXPECT_GE(objects[i].position.y, 0) << i;
    EXPECT_LT(objects[i].position.x, WORLD_WIDTH) << i;
  }
}

TEST_F(LevelTest, ShippedLevelsHaveACreatureAKeyAndADoor) {
  for (const char* name : {"level1.vem", "level2.vem"}) {
    ResetAllState();
    LoadLevel(DataFile(name));
    EXPECT_EQ(player.possessedIndex, -1) << name;  // only a "G" sets it; it starts at 0
    int keys = 0, doors = 0;
    for (int i = 0; i < objectCount; ++i) {
      keys += objects[i].type == Key;
      doors += objects[i].type == Door;
    }
    EXPECT_GT(keys, 0) << name;
    EXPECT_GT(doors, 0) << name;
  }
}
