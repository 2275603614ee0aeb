#include "CliProcess.h"

#include <grp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace tarnfold::robustness {

namespace {

std::string Contents(int fd) {
    struct stat st {};
    ::fstat(fd, &st);
    std::string text(static_cast<size_t>(st.st_size), '\0');
    const ssize_t got = ::pread(fd, text.data(), text.size(), 0);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

[[noreturn]] void RunChild(const std::vector<std::string>& arguments, const CliOptions& options, int out, int err) {
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    for (const auto& entry : options.environment) ::putenv(const_cast<char*>(entry.c_str()));
    if (options.fileSizeLimit) {
        ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG, as on a full disk
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

CliProcess::CliProcess(const std::vector<std::string>& arguments, const CliOptions& options) {
    out_ = ::memfd_create("cli-out", MFD_CLOEXEC);
    err_ = ::memfd_create("cli-err", MFD_CLOEXEC);
    if (out_ < 0 || err_ < 0) throw std::runtime_error("memfd_create failed");
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) RunChild(arguments, options, out_, err_);
}

CliProcess::~CliProcess() {
    if (Running()) Kill();
    ::close(out_);
    ::close(err_);
}

bool CliProcess::Running() {
    if (status_) return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) status_ = status;
    return !status_;
}

bool CliProcess::WaitForError(std::string_view text, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (Contents(err_).find(text) != std::string::npos) return true;
        if (!Running()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

bool CliProcess::Exits(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (Running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return !Running();
}

void CliProcess::Kill() {
    if (!Running()) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    status_ = status;
}

CliResult CliProcess::Wait() {
    if (!status_) {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        status_ = status;
    }
    CliResult result;
    result.exitCode = WIFEXITED(*status_) ? WEXITSTATUS(*status_) : -1;
    result.out = Contents(out_);
    result.err = Contents(err_);
    return result;
}

CliResult RunCli(const std::vector<std::string>& arguments, const CliOptions& options) {
    return CliProcess(arguments, options).Wait();
}

std::optional<uid_t> UnprivilegedUser() {
    if (::geteuid() != 0) return std::nullopt;
    return 65534;  // nobody
}

}  // namespace tarnfold::robustness
