// File operations of the kernel that the game relies on beyond the run-time
// library: replacing one file by another in a single step.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/winbase.h"

namespace {

// The folder part of a path, "." for a bare name; false when it does not fit.
bool FolderOf(const char* path, char (&folder)[PATH_MAX]) {
    const char* slash = std::strrchr(path, '/');
    if (slash == nullptr) {
        std::strcpy(folder, ".");
        return true;
    }
    const size_t length = slash == path ? 1 : static_cast<size_t>(slash - path);
    if (length >= sizeof folder) {
        return false;
    }
    std::memcpy(folder, path, length);
    folder[length] = '\0';
    return true;
}

// A rename lives in the folder's entries, not in the file's data, so only an
// fsync of the folder puts it on the disk. File systems that cannot sync a
// folder say EINVAL; they have nothing more to offer and that is no failure.
bool SyncFolder(const char* folder) {
    const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return synced;
}

bool RenameWithoutReplacing(const char* from, const char* to) {
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // The file system cannot refuse by itself; looking first leaves a short
    // window in which another program could create the target.
    struct stat info;
    if (::lstat(to, &info) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from, to) == 0;
}

}  // namespace

// Only the two flags the game passes are known; any other request (copying
// across volumes, moving at the next start) fails rather than be half done.
BOOL WINAPI MoveFileExA(LPCSTR existingName, LPCSTR newName, DWORD flags) {
    if (existingName == nullptr || newName == nullptr ||
        (flags & ~static_cast<DWORD>(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) != 0) {
        errno = EINVAL;
        return FALSE;
    }
    const bool moved = (flags & MOVEFILE_REPLACE_EXISTING)
                           ? ::rename(existingName, newName) == 0
                           : RenameWithoutReplacing(existingName, newName);
    if (!moved) {
        return FALSE;
    }
    if (flags & MOVEFILE_WRITE_THROUGH) {
        char newFolder[PATH_MAX];
        char oldFolder[PATH_MAX];
        if (!FolderOf(newName, newFolder) || !FolderOf(existingName, oldFolder)) {
            return FALSE;
        }
        if (!SyncFolder(newFolder)) {
            return FALSE;
        }
        if (std::strcmp(newFolder, oldFolder) != 0 && !SyncFolder(oldFolder)) {
            return FALSE;
        }
    }
    return TRUE;
}
