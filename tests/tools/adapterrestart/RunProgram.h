#pragma once

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

struct ProgramResult {
    int exitStatus = -1;  // -1 when it did not exit normally
    std::string output;   // standard output
};

// Runs a program (looked up in PATH) to its end and collects its standard output.
inline ProgramResult runProgram(const std::vector<std::string>& args) {
    ProgramResult result;
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned == 0) {
        char buf[4096];
        ssize_t n;
        while ((n = read(pipeFds[0], buf, sizeof buf)) > 0)
            result.output.append(buf, static_cast<std::size_t>(n));
        int status = 0;
        if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
    }
    close(pipeFds[0]);
    return result;
}
