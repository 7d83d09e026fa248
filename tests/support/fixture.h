// Shared test fixture: every test starts from the program's initial state.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "platform/fake/fake_game.h"

// Path of a file under tests/ (fixtures) or data/ in the source tree.
std::string TestFile(const std::string& name);
std::string DataFile(const std::string& name);

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAllState(); }
};
