// The game driven over the fakes, for the tests and the level checker: every module back to its start,
// one frame on the fake window, and the software cursor put on a screen spot.
#pragma once

// Puts every module-level variable of the game (and of the fakes) back to its initial value.
void ResetAllState();

// One frame of the game on the fake window, as the message loop makes it.
void FakeGameFrame();

// Puts the software cursor at screen (x, y) by mouse motion delivered at the next frame.
void FakeMoveCursorTo(int x, int y);
