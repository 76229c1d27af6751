#include "platform/Shell.h"

#include "platform/Errors.h"

#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace orbisto::platform {

namespace {

// Openers started earlier; each is reaped once it has ended, so none stays a zombie for long
// and the caller never waits for one.
std::vector<pid_t>& startedOpeners() {
    static std::vector<pid_t> pids;
    return pids;
}

void reapEndedOpeners() {
    auto& pids = startedOpeners();
    std::erase_if(pids, [](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; });
}

} // namespace

void shellOpen(const std::string& target, bool /*maximized: the desktop decides the window's size*/) {
    reapEndedOpeners();
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (const int error = posix_spawn_file_actions_init(&actions); error != 0) {
        throw ShellOpenError(target, std::strerror(error));
    }
    if (const int error = posix_spawnattr_init(&attributes); error != 0) {
        posix_spawn_file_actions_destroy(&actions);
        throw ShellOpenError(target, std::strerror(error));
    }
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    // A session of its own, so the opened application outlives a closed terminal.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    // The target is one argument of xdg-open: nothing in it is read by a shell.
    std::string program = "xdg-open";
    std::string argument = target;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    // The C library reports an opener that cannot be started (none on PATH) here, as the error of
    // the spawn; how xdg-open fares afterwards is its own business, like the application's on Windows.
    const int error = posix_spawnp(&pid, "xdg-open", &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        throw ShellOpenError(target, std::string("xdg-open: ") + std::strerror(error));
    }
    startedOpeners().push_back(pid);
}

} // namespace orbisto::platform
