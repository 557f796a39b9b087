#include "tests/support/ProgramRun.h"

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace tvx::test {

namespace {

struct Pipe {
    int read = -1;
    int write = -1;
    bool Open()
    {
        int ends[2];
        if (::pipe(ends) != 0)
            return false;
        read = ends[0];
        write = ends[1];
        return true;
    }
    void CloseRead()
    {
        if (read >= 0)
            ::close(read);
        read = -1;
    }
    void CloseWrite()
    {
        if (write >= 0)
            ::close(write);
        write = -1;
    }
    ~Pipe()
    {
        CloseRead();
        CloseWrite();
    }
};

// Reads both streams together: a program that fills one pipe while we
// wait on the other would never finish.
void Drain(Pipe& out, Pipe& err, ProgramResult& result)
{
    char buffer[4096];
    while (out.read >= 0 || err.read >= 0) {
        pollfd fds[2] = {{out.read, POLLIN, 0}, {err.read, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        for (int i = 0; i < 2; ++i) {
            Pipe& pipe = i == 0 ? out : err;
            std::string& text = i == 0 ? result.Out : result.Err;
            if (pipe.read < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            ssize_t n = ::read(pipe.read, buffer, sizeof buffer);
            if (n > 0)
                text.append(buffer, std::size_t(n));
            else if (n == 0 || errno != EINTR)
                pipe.CloseRead();
        }
    }
}

} // namespace

ProgramResult RunProgram(const std::vector<std::string>& arguments, const std::string& workingDirectory)
{
    ProgramResult result;
    if (arguments.empty())
        return result;
    Pipe out, err;
    if (!out.Open() || !err.Open())
        return result;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out.write, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.write, STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, out.read);
    posix_spawn_file_actions_addclose(&actions, err.read);
    if (!workingDirectory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());

    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t pid = -1;
    int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    out.CloseWrite();
    err.CloseWrite();
    if (spawned != 0)
        return result;

    Drain(out, err, result);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        result.ExitCode = WEXITSTATUS(status);
    return result;
}

} // namespace tvx::test
