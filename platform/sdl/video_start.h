// Starting SDL's video for the game window: a real display, or a clear stop.
#pragma once

// Starts SDL's video subsystem on a display someone can see. SDL itself falls back to a driver that
// draws nowhere (offscreen, dummy) when no display answers, and the game would then run unseen for
// good; such a driver is taken only when SDL_VIDEODRIVER names it. False otherwise, with SDL's error
// set to "no display: " and the reasons, naming the variables to check.
bool StartVideo();
