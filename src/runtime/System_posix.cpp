#include "runtime/System.h"

namespace tarnfold {

// Linux passes arguments and writes output as the bytes they are.
std::vector<std::string> Utf8Arguments(int argc, char** argv) { return {argv, argv + argc}; }
void UseUtf8Console() {}
void CheckPathLength(const std::filesystem::path&) {}

}  // namespace tarnfold
