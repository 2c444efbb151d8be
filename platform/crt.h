// The run-time library's low-level file calls with the Windows meaning of
// their flags: text mode (a trailing 0x1A cut on open, CR LF read as LF, 0x1A
// ending the readable data, LF written as CR LF), share modes and the
// read-only attribute mapped onto owner permissions.
#pragma once

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#else

#include <cstdio>
#include <cstdlib>

#define _O_RDONLY 0x0000
#define _O_WRONLY 0x0001
#define _O_RDWR 0x0002
#define _O_APPEND 0x0008
#define _O_CREAT 0x0100
#define _O_TRUNC 0x0200
#define _O_EXCL 0x0400
#define _O_TEXT 0x4000
#define _O_BINARY 0x8000

#define _SH_DENYRW 0x10
#define _SH_DENYWR 0x20
#define _SH_DENYRD 0x30
#define _SH_DENYNO 0x40

#define _S_IREAD 0x0100
#define _S_IWRITE 0x0080

// Opens a file; without _O_BINARY it is in text mode. Gives a handle or -1.
// The permission mode follows as a fourth argument when _O_CREAT is given.
int _sopen(const char* fileName, int openFlag, int shareFlag, ...);
// In text mode the read that meets 0x1A stores it right after the bytes it
// delivers; reads then deliver nothing until the next _lseek.
int _read(int fd, void* buffer, unsigned int count);
int _write(int fd, const void* buffer, unsigned int count);
int _close(int fd);
long _lseek(int fd, long offset, int origin);
// Flushes the file's data to the disk.
int _commit(int fd);
// Mode 0 existence, 2 write, 4 read, 6 read and write. Gives 0 or -1. A file
// without the owner's write bit is read-only for everyone, root included.
int _access(const char* path, int mode);
// _S_IWRITE present: owner may write; absent: no one may write.
int _chmod(const char* fileName, int permissionMode);

#endif  // _WIN32
