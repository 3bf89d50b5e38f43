#include "bench/ChildProcess.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

bool InChild(const char* what, const std::vector<std::string>&, const std::function<bool()>& runCase)
{
    std::fflush(stdout);
    std::fflush(stderr);
    pid_t child = fork();
    if (child < 0) {
        std::fprintf(stderr, "bench: cannot start a process: %s\n", std::strerror(errno));
        return false;
    }
    if (child == 0) {
        bool done = runCase();
        std::fflush(stdout);
        std::fflush(stderr);
        _exit(done ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            std::fprintf(stderr, "bench: lost %s: %s\n", what, std::strerror(errno));
            return false;
        }
    }
    if (WIFSIGNALED(status)) {
        std::fprintf(stderr, "bench: %s died of signal %d\n", what, WTERMSIG(status));
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench: %s failed\n", what);
        return false;
    }
    return true;
}

int ProcessId()
{
    return static_cast<int>(getpid());
}
