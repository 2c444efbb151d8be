// The Windows run-time library's low-level file calls over POSIX descriptors.
// A handle is the descriptor itself; the little that Windows keeps beside it
// (text or binary, and whether a 0x1A has ended the readable data) lives in a
// fixed table indexed by descriptor, so no call allocates.
#include "platform/crt.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdarg>
#include <cstring>

namespace {

const unsigned char CR = 0x0D;
const unsigned char LF = 0x0A;
const unsigned char CTRL_Z = 0x1A;

// Descriptors at or above this are refused, much as the Windows run-time
// library has its own ceiling on open handles. The game holds at most two.
const int MAX_HANDLES = 1024;

struct HandleState {
    bool open;
    bool text;
    // A 0x1A has been met: reads deliver nothing until the next _lseek.
    bool atCtrlZ;
};

HandleState handles[MAX_HANDLES];

HandleState* StateOf(int fd) {
    if (fd < 0 || fd >= MAX_HANDLES || !handles[fd].open) {
        return nullptr;
    }
    return &handles[fd];
}

int RawRead(int fd, void* buffer, size_t count) {
    ssize_t got;
    do {
        got = ::read(fd, buffer, count);
    } while (got < 0 && errno == EINTR);
    return static_cast<int>(got);
}

// Writes everything unless the disk refuses; gives the bytes written, or -1
// when not even the first byte went out.
ssize_t RawWriteAll(int fd, const unsigned char* data, size_t count) {
    size_t done = 0;
    while (done < count) {
        const ssize_t put = ::write(fd, data + done, count - done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return done > 0 ? static_cast<ssize_t>(done) : -1;
        }
        if (put == 0) {
            break;
        }
        done += static_cast<size_t>(put);
    }
    return static_cast<ssize_t>(done);
}

// Windows has one read-only attribute that binds every user, the
// administrator included; we keep it as the owner's write bit. Checking the
// bit ourselves makes a read-only file refuse writing even to root, for whom
// POSIX permissions do not bind.
bool ReadOnlyAttribute(const struct stat& info) {
    return S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) == 0;
}

// An editor of the Windows world may have ended the file with a 0x1A; text
// mode drops it on opening so that appended text is not hidden behind it.
void CutTrailingCtrlZ(int fd, const char* fileName, int access) {
    int readable = fd;
    if (access == O_WRONLY) {
        // A write-only descriptor cannot look at the last byte; a second,
        // read-only look at the same file can.
        readable = ::open(fileName, O_RDONLY | O_CLOEXEC);
        if (readable < 0) {
            return;
        }
    }
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        unsigned char last = 0;
        if (::pread(readable, &last, 1, info.st_size - 1) == 1 && last == CTRL_Z) {
            (void)::ftruncate(fd, info.st_size - 1);
        }
    }
    if (readable != fd) {
        ::close(readable);
    }
    ::lseek(fd, 0, SEEK_SET);
}

}  // namespace

// Share modes are accepted and not enforced. POSIX has no mandatory sharing
// locks: an advisory lock would bind only programs that ask for it, so it
// would promise a protection it cannot give. The game itself opens the score
// file with _SH_DENYNO, which asks for no protection at all.
int _sopen(const char* fileName, int openFlag, int shareFlag, ...) {
    // Callers pass the permission mode only when the call may create the file.
    int permissionMode = 0;
    if (openFlag & _O_CREAT) {
        va_list rest;
        va_start(rest, shareFlag);
        permissionMode = va_arg(rest, int);
        va_end(rest);
    }
    if (fileName == nullptr ||
        (shareFlag != _SH_DENYNO && shareFlag != _SH_DENYRW && shareFlag != _SH_DENYWR &&
         shareFlag != _SH_DENYRD) ||
        (openFlag & 3) == 3 || ((openFlag & _O_TEXT) && (openFlag & _O_BINARY))) {
        errno = EINVAL;
        return -1;
    }
    const int access = (openFlag & 3) == _O_WRONLY ? O_WRONLY
                       : (openFlag & 3) == _O_RDWR ? O_RDWR
                                                   : O_RDONLY;
    const bool writing = access != O_RDONLY;
    int flags = access | O_CLOEXEC;
    if (openFlag & _O_APPEND) {
        flags |= O_APPEND;
    }

    // An existing file is opened without O_CREAT and O_TRUNC first, so that
    // its read-only attribute is looked at before anything of it is cut, and
    // so that a file this call creates stays writable through this handle
    // even when it is created read-only, as on Windows.
    int fd = -1;
    bool created = false;
    const bool mustCreate = (openFlag & _O_CREAT) && (openFlag & _O_EXCL);
    for (;;) {
        if (!mustCreate) {
            fd = ::open(fileName, flags);
            if (fd >= 0 || errno != ENOENT || !(openFlag & _O_CREAT)) {
                break;
            }
        }
        if (!(openFlag & _O_CREAT)) {
            break;
        }
        const mode_t mode = (permissionMode & _S_IWRITE) ? 0666 : 0444;
        fd = ::open(fileName, flags | O_CREAT | O_EXCL, mode);
        if (fd >= 0) {
            created = true;
            break;
        }
        if (errno != EEXIST || mustCreate) {
            break;
        }
        // Someone else created it between the two opens: take theirs.
    }
    if (fd < 0) {
        return -1;
    }
    if (fd >= MAX_HANDLES) {
        ::close(fd);
        errno = EMFILE;
        return -1;
    }

    if (writing && !created) {
        struct stat info;
        if (::fstat(fd, &info) != 0 || ReadOnlyAttribute(info)) {
            ::close(fd);
            errno = EACCES;
            return -1;
        }
        if ((openFlag & _O_TRUNC) && ::ftruncate(fd, 0) != 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
            return -1;
        }
    }

    const bool text = !(openFlag & _O_BINARY);
    if (text && writing) {
        CutTrailingCtrlZ(fd, fileName, access);
    }
    handles[fd] = HandleState{true, text, false};
    return fd;
}

// Text mode delivers CR LF as LF, a lone CR as CR, and stops at 0x1A. The
// read that meets 0x1A delivers only the bytes before it and leaves the 0x1A
// in the buffer right after them, as the Windows library does; callers that
// read one byte at a time see it as the byte last read. The file position is
// left at the 0x1A, so reading on after an _lseek meets it again.
int _read(int fd, void* buffer, unsigned int count) {
    HandleState* state = StateOf(fd);
    if (count > INT_MAX) {
        count = INT_MAX;
    }
    if (state == nullptr || !state->text) {
        return RawRead(fd, buffer, count);
    }
    if (state->atCtrlZ || count == 0) {
        return 0;
    }
    unsigned char* bytes = static_cast<unsigned char*>(buffer);
    const int got = RawRead(fd, bytes, count);
    if (got <= 0) {
        return got;
    }
    int out = 0;
    for (int in = 0; in < got; ++in) {
        const unsigned char byte = bytes[in];
        if (byte == CTRL_Z) {
            state->atCtrlZ = true;
            ::lseek(fd, static_cast<off_t>(in) - got, SEEK_CUR);
            bytes[out] = CTRL_Z;
            break;
        }
        if (byte != CR) {
            bytes[out++] = byte;
            continue;
        }
        if (in + 1 < got) {
            if (bytes[in + 1] == LF) {
                bytes[out++] = LF;
                ++in;
            } else {
                bytes[out++] = CR;
            }
            continue;
        }
        // The CR ends what was read: the next byte of the file decides.
        unsigned char next = 0;
        const int peeked = RawRead(fd, &next, 1);
        if (peeked == 1 && next == LF) {
            bytes[out++] = LF;
        } else {
            bytes[out++] = CR;
            if (peeked == 1) {
                ::lseek(fd, -1, SEEK_CUR);
            }
        }
    }
    return out;
}

// Text mode writes every LF as CR LF. The result counts the caller's bytes
// that went out whole, so a full disk never reports half a line end.
int _write(int fd, const void* buffer, unsigned int count) {
    HandleState* state = StateOf(fd);
    if (count > INT_MAX / 2) {
        count = INT_MAX / 2;
    }
    if (state == nullptr || !state->text) {
        return static_cast<int>(RawWriteAll(fd, static_cast<const unsigned char*>(buffer), count));
    }
    const unsigned char* source = static_cast<const unsigned char*>(buffer);
    unsigned char translated[1024];
    unsigned int consumed = 0;
    while (consumed < count) {
        unsigned int taken = 0;
        size_t length = 0;
        while (consumed + taken < count && length + 2 <= sizeof translated) {
            const unsigned char byte = source[consumed + taken++];
            if (byte == LF) {
                translated[length++] = CR;
            }
            translated[length++] = byte;
        }
        const ssize_t put = RawWriteAll(fd, translated, length);
        if (put < 0) {
            return consumed > 0 ? static_cast<int>(consumed) : -1;
        }
        if (static_cast<size_t>(put) < length) {
            size_t whole = 0;
            for (unsigned int i = 0; i < taken; ++i) {
                whole += source[consumed + i] == LF ? 2 : 1;
                if (whole > static_cast<size_t>(put)) {
                    break;
                }
                ++consumed;
            }
            errno = ENOSPC;
            return consumed > 0 ? static_cast<int>(consumed) : -1;
        }
        consumed += taken;
    }
    return static_cast<int>(consumed);
}

int _close(int fd) {
    if (HandleState* state = StateOf(fd)) {
        *state = HandleState{};
    }
    return ::close(fd) == 0 ? 0 : -1;
}

// Setting the position, whatever it is set to, makes the data behind a 0x1A
// readable again.
long _lseek(int fd, long offset, int origin) {
    if (HandleState* state = StateOf(fd)) {
        state->atCtrlZ = false;
    }
    const off_t position = ::lseek(fd, static_cast<off_t>(offset), origin);
    return position < 0 ? -1L : static_cast<long>(position);
}

int _commit(int fd) { return ::fsync(fd) == 0 ? 0 : -1; }

// Write permission also needs the read-only attribute clear; see
// ReadOnlyAttribute.
int _access(const char* path, int mode) {
    int how;
    switch (mode) {
        case 0:
            how = F_OK;
            break;
        case 2:
            how = W_OK;
            break;
        case 4:
            how = R_OK;
            break;
        case 6:
            how = R_OK | W_OK;
            break;
        default:
            errno = EINVAL;
            return -1;
    }
    if (::access(path, how) != 0) {
        return -1;
    }
    if (how & W_OK) {
        struct stat info;
        if (::stat(path, &info) != 0) {
            return -1;
        }
        if (ReadOnlyAttribute(info)) {
            errno = EACCES;
            return -1;
        }
    }
    return 0;
}

// Windows knows only "read-only or not". Clearing it gives the owner read and
// write and keeps what group and others had; setting it takes every write bit
// away so that nobody is offered writing any more.
int _chmod(const char* fileName, int permissionMode) {
    struct stat info;
    if (::stat(fileName, &info) != 0) {
        return -1;
    }
    mode_t mode = info.st_mode & 07777;
    if (permissionMode & _S_IWRITE) {
        mode |= S_IRUSR | S_IWUSR;
    } else {
        mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
    }
    return ::chmod(fileName, mode) == 0 ? 0 : -1;
}
