// The game window as the game's code sees it: an opaque handle made by the window stand-in.
#pragma once

struct Window;  // defined by platform/sdl/ (an SDL window) or platform/fake/ (a test window)
using WindowHandle = Window*;
