// Catches the error trace's pieces for tests that assert on what was traced.
#pragma once
#include <string>
#include <vector>

#include "support/fixture.h"

// From now on trace pieces are kept here instead of going to standard error.
void StartTraceCapture();
// Back to standard error; the caught pieces are forgotten.
void StopTraceCapture();
// Every piece caught so far, in order.
const std::vector<std::string>& TracedPieces();
// The caught pieces joined into lines (without their line feeds).
std::vector<std::string> TracedLines();
// True when some caught line holds message followed by " hr=" (the failing step's name).
bool Traced(const std::string& message);

// A test whose trace pieces are caught from its start to its end.
class TraceCaptureTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    StartTraceCapture();
  }
  void TearDown() override { StopTraceCapture(); }
};
