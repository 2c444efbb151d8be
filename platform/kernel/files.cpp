#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

#include "platform/winbase.h"

// The palette loader reads bitmap files with these. Files are binary: no
// text-mode translation happens here.
HFILE WINAPI _lopen(LPCSTR pathName, int readWrite) {
    if (pathName == nullptr) return HFILE_ERROR;
    int flags = O_RDONLY;
    switch (readWrite & 3) {
        case 0:
            flags = O_RDONLY;
            break;  // OF_READ
        case 1:
            flags = O_WRONLY;
            break;  // OF_WRITE
        case 2:
            flags = O_RDWR;
            break;  // OF_READWRITE
        default:
            return HFILE_ERROR;
    }
    const int fd = open(pathName, flags | O_CLOEXEC);
    return fd < 0 ? HFILE_ERROR : HFILE(fd);
}

// Reads until `bytes` are in or the file ends, so a short count means the
// end of the file, which the palette loader relies on.
UINT WINAPI _lread(HFILE file, LPVOID buffer, UINT bytes) {
    if (file < 0 || (buffer == nullptr && bytes != 0)) return UINT(HFILE_ERROR);
    auto* out = static_cast<unsigned char*>(buffer);
    UINT total = 0;
    while (total < bytes) {
        const ssize_t got = read(file, out + total, bytes - total);
        if (got < 0) {
            if (errno == EINTR) continue;
            return UINT(HFILE_ERROR);
        }
        if (got == 0) break;
        total += UINT(got);
    }
    return total;
}

HFILE WINAPI _lclose(HFILE file) {
    if (file < 0) return HFILE_ERROR;
    return close(file) == 0 ? 0 : HFILE_ERROR;
}
