// The sound switch and the two sound effects.
#pragma once

#include "platform/win32.h"

extern char soundsValue[80];

void LoadSoundSetting();
void ToggleSounds(HWND window);
void PlayExplodeSound();
void PlayApplauseSound();
