#pragma once

#include <stdexcept>
#include <string>

namespace tarnfold {

// Every refusal and failure in Tarnfold is one of these. The message is meant
// for the modder: it says what is wrong and where (field and offset in a file,
// line and column for XML), never just an errno or an internal name.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// Formats an offset or address the way hex-editing tools of the community do:
// decimal and hex, so a modder can find it in a hex editor.
std::string DescribeOffset(long long value);

}  // namespace tarnfold
