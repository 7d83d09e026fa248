// A message box answered from the pads while it stands. Only platform/sdl/ includes this.
#pragma once
#include <string>

struct PadAnswerer;

// Starts reading the pads for the box about to be shown with caption: a button that goes down and up
// again (A, B, Start or Back) on any pad answers it as Return would. Null where that cannot be done (no
// X display: on Wayland the box is answered as before, by keyboard and mouse only). Called by
// MessageBoxA right before the box, on the main thread.
PadAnswerer* StartAnsweringFromPads(const std::string& caption);

// Stops reading the pads and frees answerer. Called by MessageBoxA once the box is gone; answerer may be null.
void StopAnsweringFromPads(PadAnswerer* answerer);
