#include "support/ProgramRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace zuno::test {

namespace {

// The tests' environment with the given "NAME=value" entries replacing or
// adding to it.
std::vector<std::string> childEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> env;
    auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    for (char** e = environ; e && *e; ++e) {
        std::string entry = *e;
        bool replaced = false;
        for (const std::string& x : extra)
            replaced = replaced || nameOf(x) == nameOf(entry);
        if (!replaced)
            env.push_back(entry);
    }
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> p;
    for (std::string& s : strings)
        p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

void closeBoth(int fds[2]) {
    for (int i = 0; i < 2; ++i)
        if (fds[i] >= 0)
            ::close(fds[i]);
}

// Reads both pipes until both are closed, so that neither can fill up and
// stall the child.
void drain(int outFd, int errFd, std::string& out, std::string& err) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string* sinks[2] = {&out, &err};
    int open = 2;
    char buffer[65536];
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                fds[i].fd = -1;
                --open;
            }
        }
    }
}

} // namespace

TProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                          const std::vector<std::string>& environment) {
    TProgramResult result;
    int outPipe[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        return result;
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        closeBoth(outPipe);
        return result;
    }
    std::vector<std::string> argStrings{program};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<std::string> envStrings = childEnvironment(environment);
    std::vector<char*> argv = pointersTo(argStrings);
    std::vector<char*> envp = pointersTo(envStrings);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    pid_t pid = -1;
    int spawned = ::posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (spawned == 0)
        drain(outPipe[0], errPipe[0], result.out, result.err);
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    if (spawned != 0)
        return result;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string builtProgram(const std::string& name) {
    return std::string(ZUNO_BUILD_DIR) + "/" + name;
}

} // namespace zuno::test
