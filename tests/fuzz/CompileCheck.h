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

// Compiles `document` into the map at `mapPath` and checks what every
// compile promises: a refusal is a tarnfold::Error with a message and leaves
// the map and its folder as they were; a success leaves the expected map,
// the same document compiled again leaves it byte-identical, and the example
// compiled into it gives the expected map again.
Outcome CompileAndCheck(const std::filesystem::path& mapPath, std::string_view document);

// A folder of this process's own for the map files the checks write, in RAM
// (/dev/shm) when there is one: fuzzing runs thousands of compiles a second.
const std::filesystem::path& ScratchFolder();

}  // namespace tarnfold::fuzz
