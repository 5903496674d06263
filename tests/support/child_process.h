#pragma once
// Runs a piece of a test in a forked child, for limits that must not touch the
// test program itself (a file size limit standing in for a full disk).
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

// The child's exit code, or -1 when it died.
inline int RunInChild(const std::function<int()>& body)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace testing_support
