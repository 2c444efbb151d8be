#include "shell/sound.h"

#include <cstring>

#include "resources/resource.h"
#include "shell/app.h"

char soundsValue[80];

namespace {

const char* const INI_FILE = "Tumbla.ini";

// The text is the setting: only the exact upper-case word counts as on.
bool SoundsOn() { return std::strcmp(soundsValue, "TRUE") == 0; }

void PlayResourceSound(LPCSTR name) { PlaySoundA(name, appInstance, SND_RESOURCE | SND_ASYNC); }

}  // namespace

void LoadSoundSetting() {
    GetPrivateProfileStringA("Options", "Sounds", "FALSE", soundsValue, sizeof(soundsValue),
                             INI_FILE);
    CheckMenuItem(GetMenu(mainWindow), IDM_SOUNDS, SoundsOn() ? MF_CHECKED : MF_UNCHECKED);
}

void ToggleSounds(HWND window) {
    if (std::strcmp(soundsValue, "FALSE") == 0) {
        CheckMenuItem(GetMenu(window), IDM_SOUNDS, MF_CHECKED);
        std::strcpy(soundsValue, "TRUE");
    } else {
        CheckMenuItem(GetMenu(window), IDM_SOUNDS, MF_UNCHECKED);
        std::strcpy(soundsValue, "FALSE");
    }
    WritePrivateProfileStringA("Options", "Sounds", soundsValue, INI_FILE);
}

void PlayExplodeSound() {
    if (SoundsOn()) {
        PlayResourceSound("IDR_EXPLODE");
    }
}

void PlayApplauseSound() { PlayResourceSound("IDR_APPLAUSE"); }
