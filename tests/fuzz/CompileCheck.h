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
//   document must be refused, as worked out from the document tree alone;
// - a success leaves exactly the map of the expected-map model (the node
//   records taken from the compile, the texts, counts and script records from
//   the document), which a second compile refuses as already compiled.
Outcome CompileAndCheck(const std::filesystem::path& mapPath, std::string_view document);

// A folder of this process's own for the map files the checks write, in RAM
// (/dev/shm) when there is one: fuzzing runs thousands of compiles a second.
const std::filesystem::path& ScratchFolder();

}  // namespace tarnfold::fuzz
