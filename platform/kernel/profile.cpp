// Profile files: named sections of key=value lines, read and written one
// value at a time.
//
// A bare file name lives in $XDG_CONFIG_HOME/tumbla/ (else ~/.config/tumbla/),
// where a per-user setting belongs on this host; a name with a '/' is a path.
// Writes replace the file atomically (temporary file, fsync, rename), so a
// crash leaves either the old file or the new one, and every line the game
// did not ask to change survives. The parsing itself is in profile_text.cpp.
//
// Not provided, since the game never asks for them: listing sections or keys
// (null section or key on reading) and deleting (null key or value on
// writing). Those calls give the default, or FALSE, and touch nothing.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/kernel/profile_text.h"
#include "platform/winbase.h"

namespace {

// Far larger than any profile the game writes; a bigger file is not ours to
// rewrite, and reading it whole would only waste memory.
constexpr off_t kMaxProfileBytes = 1 << 20;

bool ConfigFolder(std::string* folder) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid by its own rules and is ignored.
    if (xdg && xdg[0] == '/') {
        *folder = std::string(xdg) + "/tumbla";
        return true;
    }
    const char* home = std::getenv("HOME");
    if (!home || home[0] == '\0') return false;
    *folder = std::string(home) + "/.config/tumbla";
    return true;
}

// The file's path; *folder is the configuration folder for bare names (to be
// created before a write) and empty for names that carry their own folder.
bool ProfilePath(const char* fileName, std::string* path, std::string* folder) {
    folder->clear();
    if (!fileName || fileName[0] == '\0') return false;
    if (std::strchr(fileName, '/')) {
        *path = fileName;
        return true;
    }
    if (!ConfigFolder(folder)) return false;
    *path = *folder + "/" + fileName;
    return true;
}

// mkdir -p; folders we create are private, as the settings are the user's.
bool MakeFolders(const std::string& folder) {
    for (size_t pos = 1; pos <= folder.size(); ++pos) {
        if (pos != folder.size() && folder[pos] != '/') continue;
        const std::string part = folder.substr(0, pos);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

enum class ReadResult { Ok, Missing, Failed };

ReadResult ReadWhole(const std::string& path, std::string* text, mode_t* mode) {
    text->clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxProfileBytes) {
        close(fd);
        return ReadResult::Failed;
    }
    if (mode) *mode = st.st_mode & 07777;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 ||
            text->size() + static_cast<size_t>(n) > static_cast<size_t>(kMaxProfileBytes)) {
            close(fd);
            return ReadResult::Failed;
        }
        if (n == 0) break;
        text->append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return ReadResult::Ok;
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Replaces path by text through a temporary file in the same folder, so the
// rename is atomic. A symbolic link (settings kept elsewhere by the user) is
// followed, so the link survives and its target is updated.
bool ReplaceFile(const std::string& givenPath, const std::string& text, bool existed, mode_t mode) {
    std::string path = givenPath;
    struct stat st;
    if (lstat(givenPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (!realpath(givenPath.c_str(), resolved)) return false;
        path = resolved;
    }
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = WriteAll(fd, text);
    // mkstemp makes the file 0600; an existing file keeps the mode it had.
    if (ok && existed) ok = fchmod(fd, mode) == 0;
    if (ok) ok = fsync(fd) == 0;
    if (close(fd) != 0) ok = false;
    if (ok) ok = rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable; failing here changes nothing visible.
    const size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}

}  // namespace

// The game reads into an 80-byte buffer and compares the text byte for byte,
// so the copy is cut at size - 1 characters and always terminated. Like
// Windows, trailing blanks of the default are dropped; the default is used
// for a missing file, section or key, or a file that cannot be read.
DWORD WINAPI GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultValue,
                                      LPSTR returned, DWORD size, LPCSTR fileName) {
    if (!returned || size == 0) return 0;
    std::string result;
    bool found = false;
    std::string path, folder;
    if (appName && keyName && ProfilePath(fileName, &path, &folder)) {
        std::string text;
        if (ReadWhole(path, &text, nullptr) == ReadResult::Ok) {
            result = ProfileGet(text, appName, keyName, &found);
        }
    }
    if (!found) {
        result = defaultValue ? defaultValue : "";
        while (!result.empty() && (result.back() == ' ' || result.back() == '\t'))
            result.pop_back();
    }
    // A NUL inside the file would end the text for the caller anyway.
    const size_t length = std::min(std::strlen(result.c_str()), static_cast<size_t>(size - 1));
    std::memcpy(returned, result.data(), length);
    returned[length] = '\0';
    return static_cast<DWORD>(length);
}

BOOL WINAPI WritePrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR value,
                                       LPCSTR fileName) {
    if (!appName || !keyName || !value) return FALSE;
    if (!ProfileEntryValid(appName, keyName, value)) return FALSE;
    std::string path, folder;
    if (!ProfilePath(fileName, &path, &folder)) return FALSE;
    if (!folder.empty() && !MakeFolders(folder)) return FALSE;
    std::string text;
    mode_t mode = 0600;
    const ReadResult read = ReadWhole(path, &text, &mode);
    // A file we cannot read is left alone rather than replaced by one line.
    if (read == ReadResult::Failed) return FALSE;
    // The rewrite goes through a rename, which the folder's permission allows
    // whatever the file's own says: a file marked read-only (no write
    // permission for its owner) is refused, as a read-only file is on Windows.
    if (read == ReadResult::Ok && !(mode & S_IWUSR)) return FALSE;
    const std::string updated = ProfileSet(text, appName, keyName, value);
    if (read == ReadResult::Ok && updated == text) return TRUE;
    return ReplaceFile(path, updated, read == ReadResult::Ok, mode) ? TRUE : FALSE;
}
