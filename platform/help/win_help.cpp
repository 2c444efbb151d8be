#include "platform/help/win_help.h"

#include <errno.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/help/testing.h"
#include "platform/winuser.h"

extern char** environ;

namespace {

std::function<bool(const platform_testing::HelpLaunch&)> launchHook;

bool IsExecutableFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

std::string Join(const std::string& folder, const char* name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The viewer must outlive nothing of ours and leave no zombie behind, and the
// game must never wait for it: a short-lived middle child starts the viewer
// and exits at once, so the viewer is adopted by init, which reaps it. The
// middle child's exit status says whether the viewer could be started.
bool StartDetached(const platform_testing::HelpLaunch& launch) {
    // Everything the middle child needs is prepared here: after fork in a
    // threaded program it must not allocate.
    std::vector<char*> argv;
    for (const std::string& argument : launch.arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return false;
    // The game's own files and its display connection are not the viewer's.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return false;
    }
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    bool started = false;
    const pid_t middle = fork();
    if (middle == 0) {
        pid_t viewer;
        const int failed = posix_spawn(&viewer, launch.program.c_str(), &actions, &attributes,
                                       argv.data(), environ);
        _exit(failed ? 1 : 0);
    }
    if (middle > 0) {
        int status = 0;
        pid_t waited;
        do {
            waited = waitpid(middle, &status, 0);
        } while (waited < 0 && errno == EINTR);
        // ECHILD: the program ignores SIGCHLD, so the system reaped the middle
        // child and its verdict is lost; it had a viewer to start.
        started = waited < 0 ? errno == ECHILD : WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return started;
}

}  // namespace

std::string RunningProgramFolder() {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return std::string();
    std::string path(buffer, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string FindHelpViewer(const std::string& programFolder, const char* path) {
    if (!programFolder.empty()) {
        std::string beside = Join(programFolder, kHelpViewerName);
        if (IsExecutableFile(beside)) return beside;
    }
    if (!path || !*path) return std::string();
    const std::string folders(path);
    size_t start = 0;
    for (;;) {
        const size_t colon = folders.find(':', start);
        const std::string folder =
            folders.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        // An empty entry means the current folder, as the shell reads PATH.
        std::string candidate = Join(folder.empty() ? std::string(".") : folder, kHelpViewerName);
        if (IsExecutableFile(candidate)) return candidate;
        if (colon == std::string::npos) return std::string();
        start = colon + 1;
    }
}

namespace platform_testing {

void SetHelpLaunchHook(std::function<bool(const HelpLaunch&)> hook) {
    launchHook = std::move(hook);
}

}  // namespace platform_testing

// The game relies on this returning at once whatever becomes of the viewer;
// a missing help file is the viewer's to report, in its own process.
BOOL WINAPI WinHelpA(HWND, LPCSTR helpFile, UINT command, ULONG_PTR) {
    // The viewer is a process of its own that the user closes; there is
    // nothing of ours to close.
    if (command == HELP_QUIT) return TRUE;
    if (!helpFile || !*helpFile) return FALSE;
    try {
        const std::string viewer = FindHelpViewer(RunningProgramFolder(), std::getenv("PATH"));
        if (viewer.empty()) return FALSE;
        // Every other command opens the contents: the game asks for nothing else.
        platform_testing::HelpLaunch launch{viewer, {viewer, helpFile, "contents"}};
        if (launchHook) return launchHook(launch) ? TRUE : FALSE;
        return StartDetached(launch) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}
