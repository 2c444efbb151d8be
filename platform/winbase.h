// Kernel services the game uses: ticks, modules and resources, the old
// 16-bit-style file calls of the palette loader, debugger output, profile
// files and the atomic file replacement of the score file.
#pragma once

#include "platform/windef.h"

#ifndef _WIN32

// Milliseconds since the layer started, as a 32-bit count that wraps.
DWORD WINAPI GetTickCount(void);

// The program's own module for a null name; no other module exists.
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);

// Resources compiled in from the resource script. A null module means the
// program's own. Names and types are integer ids or case-insensitive strings.
HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
LPVOID WINAPI LockResource(HGLOBAL data);
DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource);

#define RT_ICON MAKEINTRESOURCEA(3)
#define RT_BITMAP MAKEINTRESOURCEA(2)
#define RT_MENU MAKEINTRESOURCEA(4)
#define RT_DIALOG MAKEINTRESOURCEA(5)
#define RT_GROUP_ICON MAKEINTRESOURCEA(14)

// Binary file calls; a failed open gives HFILE_ERROR.
#define OF_READ 0x00000000
#define HFILE_ERROR ((HFILE) - 1)
HFILE WINAPI _lopen(LPCSTR pathName, int readWrite);
UINT WINAPI _lread(HFILE file, LPVOID buffer, UINT bytes);
HFILE WINAPI _lclose(HFILE file);

// Debugger output: written to standard error.
void WINAPI OutputDebugStringA(LPCSTR text);

// Profile files. A bare file name lives in the user's configuration folder.
DWORD WINAPI GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultValue,
                                      LPSTR returned, DWORD size, LPCSTR fileName);
BOOL WINAPI WritePrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR value,
                                       LPCSTR fileName);

// Renames a file, replacing an existing target when asked to; with
// MOVEFILE_WRITE_THROUGH the change is on disk before the call returns.
#define MOVEFILE_REPLACE_EXISTING 0x00000001
#define MOVEFILE_WRITE_THROUGH 0x00000008
BOOL WINAPI MoveFileExA(LPCSTR existingName, LPCSTR newName, DWORD flags);

#endif  // _WIN32
