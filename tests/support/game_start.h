// Starting the game in tests as the program does, for the start-up, frame and title tests.
// Inside a folder of the game's files, InitGame on the fake window.
#pragma once
#include <string>

#include "support/fixture.h"

// Makes dir the working directory for its lifetime (the game opens every file by bare name).
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string& dir);
  ~WorkingDirectory();
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  std::string previous_;
};

// A scratch copy of data/ that a test may change, removed with it.
class DataCopy {
 public:
  DataCopy();
  ~DataCopy();
  DataCopy(const DataCopy&) = delete;
  DataCopy& operator=(const DataCopy&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The game started in data/ as the program starts it: "level2.vem" loaded, InitGame done, the fakes'
// logs cleared, the mouse button and Escape released.
class StartedGameTest : public GameTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // One frame on the fake window.
  void Frame();
  // Puts the software cursor at (x, y) by mouse motion delivered at the next frame.
  void MoveCursorTo(int x, int y);

 private:
  WorkingDirectory* inData_ = nullptr;
};
