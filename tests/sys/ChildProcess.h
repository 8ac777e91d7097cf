#pragma once
// Running a piece of a test in a forked process, for tests of what a killed or second process
// leaves behind.

#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace systest {

// Runs `child` in a forked process; its exit status, or 128 + the signal that ended it. An
// exception escaping `child` ends the child with 98.
inline int RunInChild(const std::function<int()>& child)
{
    const pid_t pid = fork();
    if (pid == 0) {
        int code = 99;
        try {
            code = child();
        } catch (...) {
            code = 98;
        }
        _exit(code);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

} // namespace systest
