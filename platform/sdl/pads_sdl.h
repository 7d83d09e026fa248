// The pads as the SDL stand-ins besides the pad record see them. Only platform/sdl/ includes this.
#pragma once

// Whether a button that answers a message box is held right now on any connected pad, the pads read
// afresh: A or Start accept, B or Back too, since every box has only OK. Called by the thread that
// answers a box from the pads, while the main thread waits in the box and touches no pad.
bool BoxButtonHeldOnAnyPad();
