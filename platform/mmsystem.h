// Sound: WAVE resources played asynchronously, a new sound replacing the one
// still playing; no audio device means silence.
#pragma once

#include "platform/windef.h"

#ifdef _WIN32
#include <mmsystem.h>
#else

#define SND_SYNC 0x0000
#define SND_ASYNC 0x0001
#define SND_NODEFAULT 0x0002
#define SND_MEMORY 0x0004
#define SND_PURGE 0x0040
#define SND_RESOURCE 0x00040004L

BOOL WINAPI PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags);

#endif  // _WIN32
