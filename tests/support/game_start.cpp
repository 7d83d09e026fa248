// Working directory switch, scratch copies of data/, and the started-game fixture.
#include "support/game_start.h"

#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "platform/fake/fake_graphics.h"
#include "platform/fake/fake_system.h"
#include "world/startup.h"
#include "world/world.h"

namespace fs = std::filesystem;

WorkingDirectory::WorkingDirectory(const std::string& dir) : previous_(fs::current_path().string()) {
  fs::current_path(dir);
}

WorkingDirectory::~WorkingDirectory() { fs::current_path(previous_); }

DataCopy::DataCopy() {
  std::string pattern = (fs::temp_directory_path() / "vems-data-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a scratch folder");
  path_ = pattern;
  fs::copy(DataFile(""), path_, fs::copy_options::recursive);
}

DataCopy::~DataCopy() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void StartedGameTest::SetUp() {
  GameTest::SetUp();
  inData_ = new WorkingDirectory(DataFile(""));
  LoadLevel("level2.vem");
  ASSERT_TRUE(InitGame(FakeWindow()));
  FakeClearLog();
}

void StartedGameTest::TearDown() {
  delete inData_;
  GameTest::TearDown();
}

void StartedGameTest::Frame() { FakeGameFrame(); }

void StartedGameTest::MoveCursorTo(int x, int y) { FakeMoveCursorTo(x, y); }
