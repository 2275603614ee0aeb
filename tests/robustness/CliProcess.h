#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
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

// tarnfold-cli in a child process, its output captured in memory files.
// The destructor kills it if it still runs.
class CliProcess {
public:
    explicit CliProcess(const std::vector<std::string>& arguments, const CliOptions& options = {});
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // Waits until standard error holds `text`, or, for an empty text, until
    // the tool exits; false when the time runs out or the tool exits first.
    bool WaitFor(std::string_view text, std::chrono::milliseconds timeout = std::chrono::seconds(60));
    bool Running();
    void Kill();  // SIGKILL, then reaps it
    CliResult Wait();

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
std::optional<uid_t> UnprivilegedUser();

}  // namespace tarnfold::robustness
