#include "worker_processes.h"

#include "worker_output.h"

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace korvid::cli {
namespace {

struct Running {
    pid_t pid = -1;
    int out = -1;
    int err = -1;
};

Running Start(const std::vector<std::string>& args) {
    Running running;
    int outPipe[2];
    int errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0) {
        return running;
    }
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return running;
    }
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    if (::posix_spawn(&running.pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        running.pid = -1;
    }
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    running.out = outPipe[0];
    running.err = errPipe[0];
    return running;
}

}  // namespace

std::string SelfExecutable() {
    return "/proc/self/exe";
}

std::vector<WorkerEnd> RunWorkers(
    const std::vector<std::vector<std::string>>& workers,
    const std::function<void(std::size_t, const std::string&)>& onErrorLine) {
    std::vector<WorkerEnd> ends(workers.size());
    WorkerOutputs outputs(ends, onErrorLine);
    std::vector<Running> running;
    for (const std::vector<std::string>& args : workers) {
        running.push_back(Start(args));
    }
    for (;;) {
        std::vector<pollfd> fds;
        std::vector<std::pair<std::size_t, WorkerStream>> owners;
        for (std::size_t i = 0; i < running.size(); ++i) {
            if (running[i].out >= 0) {
                fds.push_back({running[i].out, POLLIN, 0});
                owners.emplace_back(i, WorkerStream::Out);
            }
            if (running[i].err >= 0) {
                fds.push_back({running[i].err, POLLIN, 0});
                owners.emplace_back(i, WorkerStream::Err);
            }
        }
        if (fds.empty()) {
            break;
        }
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        for (std::size_t k = 0; k < fds.size(); ++k) {
            if (fds[k].revents == 0) {
                continue;
            }
            const auto [i, stream] = owners[k];
            char buffer[4096];
            const ssize_t n = ::read(fds[k].fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                ::close(fds[k].fd);
                (stream == WorkerStream::Err ? running[i].err : running[i].out) = -1;
                outputs.closed(i, stream);
                continue;
            }
            outputs.received(i, stream, std::string_view(buffer, static_cast<std::size_t>(n)));
        }
    }
    for (std::size_t i = 0; i < running.size(); ++i) {
        if (running[i].pid < 0) {
            ends[i].exitStatus = 127;
            continue;
        }
        int status = 0;
        while (::waitpid(running[i].pid, &status, 0) < 0 && errno == EINTR) {
        }
        ends[i].exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return ends;
}

}  // namespace korvid::cli
