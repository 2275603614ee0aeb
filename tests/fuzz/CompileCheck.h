#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tarnfold::fuzz {

// Thrown when a compile breaks one of the promises below. It is no
// tarnfold::Error on purpose: nothing in the code under test catches it, so a
// fuzzer reports it as a crash and a test as a failure.
class InvariantBroken : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

struct Outcome {
    bool compiled = false;
    std::string refusal;  // the error's message when refused
};

// Compiles `document` into the map at `mapPath` through the library, the way
// the command-line tool does, and checks what every compile promises:
// - a refusal is a tarnfold::Error with a message, leaves the map
//   byte-identical and leaves no file behind in its folder;
// - a map that loads and passes the checks is refused exactly when the
//   document must be refused (ExpectedBuild);
// - a success leaves a map that loads again, whose script data agrees with
//   the document, whose bytes before the string data change only where a
//   compile writes, and that a second compile refuses as already compiled.
Outcome CompileAndCheck(const std::filesystem::path& mapPath, std::string_view document);

}  // namespace tarnfold::fuzz
