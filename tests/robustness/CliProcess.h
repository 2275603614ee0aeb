#pragma once

#include <grp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <stdexcept>
#include <thread>
#include <string>
#include <string_view>
#include <vector>

namespace tarnfold::robustness {

struct CliOptions {
    std::vector<std::string> environment{};    // extra NAME=VALUE entries
    std::optional<uid_t> user{};               // run as this user and group (the test must be root)
    std::optional<long long> fileSizeLimit{};  // RLIMIT_FSIZE in bytes, SIGXFSZ ignored: a full disk
};

struct CliResult {
    int exitCode = -1;  // -1 when killed by a signal
    std::string out;
    std::string err;
};

namespace detail {

inline std::string Contents(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(text.size()))) > 0;)
        text.append(buffer, static_cast<size_t>(got));
    return text;
}

[[noreturn]] inline void Exec(const std::vector<std::string>& arguments, const CliOptions& options, int out, int err) {
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    for (const auto& entry : options.environment) ::putenv(const_cast<char*>(entry.c_str()));
    if (options.fileSizeLimit) {
        ::signal(SIGXFSZ, SIG_IGN);  // so a write past the limit fails with EFBIG, as on a full disk
        const rlimit limit{static_cast<rlim_t>(*options.fileSizeLimit), static_cast<rlim_t>(*options.fileSizeLimit)};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(126);
    }
    if (options.user && (::setgroups(0, nullptr) != 0 || ::setgid(*options.user) != 0 || ::setuid(*options.user) != 0))
        ::_exit(126);
    std::vector<char*> argv{const_cast<char*>(TARNFOLD_CLI)};
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(TARNFOLD_CLI, argv.data());
    ::_exit(127);
}

}  // namespace detail

// tarnfold-cli in a child process, its output captured in memory files.
// The destructor kills it if it still runs.
class CliProcess {
public:
    explicit CliProcess(const std::vector<std::string>& arguments, const CliOptions& options = {})
        : out_(::memfd_create("out", MFD_CLOEXEC)), err_(::memfd_create("err", MFD_CLOEXEC)) {
        if (out_ < 0 || err_ < 0 || (pid_ = ::fork()) < 0) throw std::runtime_error("cannot start tarnfold-cli");
        if (pid_ == 0) detail::Exec(arguments, options, out_, err_);
    }
    ~CliProcess() {
        Kill();
        ::close(out_);
        ::close(err_);
    }
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // Waits until standard error holds `text`, or, for an empty text, until
    // the tool exits; false when the time runs out or the tool exits first.
    bool WaitFor(std::string_view text, std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
        for (const auto deadline = std::chrono::steady_clock::now() + timeout;
             std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(std::chrono::milliseconds(2))) {
            if (!text.empty() && detail::Contents(err_).find(text) != std::string::npos) return true;
            if (!Running()) return text.empty();
        }
        return false;
    }
    bool Running() {
        int status = 0;
        if (!status_ && ::waitpid(pid_, &status, WNOHANG) == pid_) status_ = status;
        return !status_;
    }
    void Kill() {  // SIGKILL, then reaps it
        if (!Running()) return;
        ::kill(pid_, SIGKILL);
        Wait();
    }
    CliResult Wait() {
        int status = 0;
        if (!status_ && ::waitpid(pid_, &status, 0) == pid_) status_ = status;
        const int code = status_ && WIFEXITED(*status_) ? WEXITSTATUS(*status_) : -1;
        return {code, detail::Contents(out_), detail::Contents(err_)};
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::optional<int> status_;
};

inline CliResult RunCli(const std::vector<std::string>& arguments, const CliOptions& options = {}) {
    return CliProcess(arguments, options).Wait();
}

// Root ignores file permissions, so tests that need one to bite run the tool
// as "nobody" when they run as root; nullopt otherwise.
inline std::optional<uid_t> UnprivilegedUser() {
    if (::geteuid() != 0) return std::nullopt;
    return 65534;  // nobody
}

}  // namespace tarnfold::robustness
