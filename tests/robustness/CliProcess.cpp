#include "CliProcess.h"

#include <grp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace tarnfold::robustness {

namespace {

std::string Contents(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(text.size()))) > 0;)
        text.append(buffer, static_cast<size_t>(got));
    return text;
}

[[noreturn]] void Exec(const std::vector<std::string>& arguments, const CliOptions& options, int out, int err) {
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

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& arguments, const CliOptions& options)
    : out_(::memfd_create("out", MFD_CLOEXEC)), err_(::memfd_create("err", MFD_CLOEXEC)) {
    if (out_ < 0 || err_ < 0 || (pid_ = ::fork()) < 0) throw std::runtime_error("cannot start tarnfold-cli");
    if (pid_ == 0) Exec(arguments, options, out_, err_);
}

CliProcess::~CliProcess() {
    Kill();
    ::close(out_);
    ::close(err_);
}

bool CliProcess::Running() {
    int status = 0;
    if (!status_ && ::waitpid(pid_, &status, WNOHANG) == pid_) status_ = status;
    return !status_;
}

bool CliProcess::WaitFor(std::string_view text, std::chrono::milliseconds timeout) {
    for (const auto deadline = std::chrono::steady_clock::now() + timeout; std::chrono::steady_clock::now() < deadline;
         std::this_thread::sleep_for(std::chrono::milliseconds(2))) {
        if (!text.empty() && Contents(err_).find(text) != std::string::npos) return true;
        if (!Running()) return text.empty();
    }
    return false;
}

void CliProcess::Kill() {
    if (!Running()) return;
    ::kill(pid_, SIGKILL);
    Wait();
}

CliResult CliProcess::Wait() {
    int status = 0;
    if (!status_ && ::waitpid(pid_, &status, 0) == pid_) status_ = status;
    return {WIFEXITED(*status_) ? WEXITSTATUS(*status_) : -1, Contents(out_), Contents(err_)};
}

std::optional<uid_t> UnprivilegedUser() {
    if (::geteuid() != 0) return std::nullopt;
    return 65534;  // nobody
}

}  // namespace tarnfold::robustness
