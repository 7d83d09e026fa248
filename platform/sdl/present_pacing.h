// The frame pacing at each present, over the display's retrace or the clock: the one place the pacer
// (platform/frame_pacer.h) is called from. Only platform/sdl/ includes this.
#pragma once
#include "platform/frame_pacer.h"

struct Picture;

// The pace for the picture's display: by the retrace where the renderer waits for one at a rate that
// suits the game's, otherwise by the clock with the renderer's wait turned off. Called by CreateDevice
// once the picture is started.
FramePacer StartFramePacing(Picture& picture);

// The loop held until the next frame is due, unless pacing is off (SetPresentPacing); a pacer that gave up
// on the retrace turns the renderer's wait off. presented: the frame was shown. Called by Present.
void PaceFrame(FramePacer& pacer, Picture& picture, bool presented);
