#include "platform/Shell.h"

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

void shellOpen(const std::string& target, bool /*maximized: the desktop decides the window's size*/) noexcept {
    reapEndedOpeners();
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&actions) != 0) {
        return;
    }
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return;
    }
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    // A session of its own, so the opened application outlives a closed terminal.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    // The target is one argument of xdg-open: nothing in it is read by a shell.
    std::string program = "xdg-open";
    std::string argument = target;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", &actions, &attributes, argv, environ) == 0) {
        startedOpeners().push_back(pid);
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
}

} // namespace orbisto::platform
