#pragma once

// Work run by several processes at the same moment, for stores that processes share.

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <functional>
#include <system_error>
#include <vector>

namespace tilvane::testing {

// A line at which forked children wait until the parent lets them all go at once: the read end of a pipe, which
// gives its end of file to every child when the parent closes the write end.
class StartingLine {
public:
    StartingLine()
    {
        if (::pipe(ends_) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
    }
    ~StartingLine()
    {
        for (const int end : ends_) {
            if (end >= 0) ::close(end);
        }
    }
    StartingLine(const StartingLine&) = delete;
    StartingLine& operator=(const StartingLine&) = delete;

    // In a child: waits for release().
    void wait()
    {
        ::close(ends_[1]);
        char byte = 0;
        while (::read(ends_[0], &byte, 1) < 0 && errno == EINTR) {
        }
    }

    void release()
    {
        ::close(ends_[1]);
        ends_[1] = -1;
    }

private:
    int ends_[2] = {-1, -1};
};

// Forks a child that waits at `line`, then runs `work` and ends: with status 0 when it returns, 1 when it throws
// (saying why on the standard error). Returns the child, or -1 when no process could be made.
inline pid_t forkAtLine(StartingLine& line, const std::function<void()>& work)
{
    const pid_t child = ::fork();
    if (child != 0) return child;
    line.wait();
    try {
        work();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        ::_exit(1);
    }
    ::_exit(0);
}

// Runs every work in a child process of its own, all released at once, and waits for them: whether each one
// returned. A work for which no process could be made has failed.
inline std::vector<bool> runTogether(const std::vector<std::function<void()>>& works)
{
    StartingLine line;
    std::vector<pid_t> children;
    for (const auto& work : works) {
        const pid_t child = forkAtLine(line, work);
        if (child < 0) break;
        children.push_back(child);
    }
    line.release();
    std::vector<bool> returned(works.size(), false);
    for (std::size_t index = 0; index < children.size(); ++index) {
        int status = 0;
        pid_t ended = -1;
        do {
            ended = ::waitpid(children[index], &status, 0);
        } while (ended < 0 && errno == EINTR);
        returned[index] = ended == children[index] && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return returned;
}

}  // namespace tilvane::testing
