#pragma once

// The peak memory of a program run as a child of its own, so that the figure is the program's alone.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <string>
#include <vector>

extern char** environ;

namespace bench {

/// Runs `args` (the program first) with standard output and error to /dev/null; the peak resident set in MiB, or -1
/// when it could not start or did not end normally. `exitCode` gets its exit status.
inline double childPeakMiB(std::vector<std::string> args, int& exitCode) {
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    if (spawned != 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status)) {
        return -1;
    }
    exitCode = WEXITSTATUS(status);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace bench
