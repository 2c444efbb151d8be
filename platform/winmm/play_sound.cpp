// PlaySoundA as the game calls it: a "WAVE" resource of the program, played
// asynchronously (SND_RESOURCE | SND_ASYNC), and SND_PURGE to stop. Every
// call ends the sound still playing, as on Windows, so a new removal sound
// restarts from its beginning and the applause cuts the removal sound off.
// Other ways of naming a sound (files, aliases, memory) and synchronous or
// looping play are not provided; such calls return FALSE.

#include <string>

#include "platform/host/audio.h"
#include "platform/mmsystem.h"
#include "platform/winbase.h"
#include "platform/winmm/testing.h"
#include "platform/winmm/wave.h"

namespace {

constexpr DWORD kSupportedFlags = SND_RESOURCE | SND_ASYNC | SND_NODEFAULT;

std::string currentSound;

void Stop() {
    host::StopSound();
    currentSound.clear();
}

std::string NameOf(LPCSTR sound) {
    if (IS_INTRESOURCE(sound)) {
        return "#" + std::to_string(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(sound)));
    }
    return sound;
}

}  // namespace

BOOL WINAPI PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags) {
    Stop();
    if (!sound || (flags & SND_PURGE)) return TRUE;
    if ((flags & SND_RESOURCE) != SND_RESOURCE || !(flags & SND_ASYNC)) return FALSE;
    if (flags & ~kSupportedFlags) return FALSE;

    HRSRC resource = FindResourceA(module, sound, "WAVE");
    if (!resource) return FALSE;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return FALSE;
    WaveSound wave;
    if (!ParseWave(bytes, SizeofResource(module, resource), &wave)) return FALSE;
    if (!host::PlayPcm(wave.samples, wave.bytes, wave.rate, wave.channels, wave.bitsPerSample)) {
        return FALSE;
    }
    currentSound = NameOf(sound);
    return TRUE;
}

namespace winmm_testing {

Playback CurrentPlayback() {
    const host::AudioStatus status = host::GetAudioStatus();
    Playback playback;
    playback.sound = currentSound;
    playback.queuedBytes = status.queuedBytes;
    playback.soundBytes = status.soundBytes;
    playback.deviceRate = status.deviceRate;
    playback.deviceBytesPerFrame = status.deviceBytesPerFrame;
    playback.deviceOpen = status.open;
    playback.deviceUnavailable = status.unavailable;
    playback.openAttempts = status.openAttempts;
    return playback;
}

}  // namespace winmm_testing
