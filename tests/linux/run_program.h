// Runs a helper program (no shell) with its standard output and error in a
// log file, and waits for it. Used by the tests and benchmarks that start a
// private CUPS scheduler or administer its queues.
#pragma once
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

extern char** environ;

namespace osa::test {

// Its exit status, or -1 when it could not be run or did not exit.
inline int RunProgram(const std::vector<std::string>& args, const std::string& log) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The standard output of a shell command line, and its wait status in
// `status` (-1 when it could not be run).
inline std::string CommandOutput(const std::string& command, int& status) {
    std::string output;
    status = -1;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buffer[1024];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof(buffer), p)) > 0)
            output.append(buffer, n);
        status = ::pclose(p);
    }
    return output;
}

} // namespace osa::test
