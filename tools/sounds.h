// The two sound effects, as complete wave files.
#pragma once

#include "tools/file_formats.h"

// A short soft footstep: 8-bit mono.
Bytes MakeStepWave();
// A springy boing: 16-bit stereo.
Bytes MakeBounceWave();
