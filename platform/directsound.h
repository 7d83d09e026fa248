// The sound module: CSoundSystem, CSound (over the audio device stand-in) and the four free functions the
// game calls. Failures inside are traced with the file name "directsound".
#pragma once
#include <string>

#include "platform/hresult.h"
#include "platform/window_handle.h"

class CSound;
class CSoundSystem;

extern CSoundSystem* soundSystem;  // the program-wide sound system; null until InitSound

// Starts the sound system and sets its primary format (2 channels, 22050 Hz, 16 bits); true when both worked.
bool InitSound(WindowHandle window);
// Destroys the sound system (and with it the device) when it exists.
void ShutdownSound();
// A new sound effect from a wave file (one buffer), or null. The caller owns it.
CSound* LoadSoundEffect(std::string fileName);
// Plays the effect once from its current position; sound must not be null.
void PlaySoundEffect(CSound* sound);
