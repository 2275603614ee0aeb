#pragma once

// A piece of a test run in a child process, which the test may kill at any
// moment or start as another user or under a file size limit.

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace tarnfold::robustness {

class Child {
public:
    // Forks; the child runs `body` with the write end of a pipe, then says
    // "ok", or the message of what it threw, and exits.
    explicit Child(const std::function<void(int pipe)>& body) {
        int fds[2];
        if (::pipe(fds) != 0 || (pid_ = ::fork()) < 0) throw std::runtime_error("cannot fork");
        if (pid_ == 0) {
            std::string said = "ok";
            try {
                body(fds[1]);
            } catch (const std::exception& e) {
                said = e.what();
            }
            Say(fds[1], said);
            ::_exit(0);
        }
        ::close(fds[1]);
        in_ = fds[0];
    }
    ~Child() { Kill(), ::close(in_); }

    // A message in one piece (at most 4 KiB); Next() is empty when the child
    // says nothing within `ms` milliseconds.
    static void Say(int pipe, const std::string& text) {
        [[maybe_unused]] auto n = ::write(pipe, text.data(), text.size());
    }
    std::string Next(int ms = 60000) {
        pollfd ready{in_, POLLIN, 0};
        char buffer[4096];
        const ssize_t got = ::poll(&ready, 1, ms) > 0 ? ::read(in_, buffer, sizeof buffer) : 0;
        return std::string(buffer, size_t(std::max<ssize_t>(got, 0)));
    }
    bool Running() {
        if (pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == pid_) pid_ = -1;
        return pid_ > 0;
    }
    void Kill() {  // SIGKILL, then reaps it
        if (pid_ > 0) ::kill(pid_, SIGKILL), ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    // Waits for the child to end and returns its exit status.
    int Status() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int in_ = -1;
};

}  // namespace tarnfold::robustness
