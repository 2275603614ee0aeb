// Replays fuzz inputs without libFuzzer: every file in the folders named on
// the command line goes through the target once. This is how the corpora run
// as regression tests in the ordinary build.
#include <cstdio>

#include "TestSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i)
        for (const auto& entry : std::filesystem::directory_iterator(argv[i])) inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
    for (const auto& input : inputs) {
        const tarnfold::Bytes bytes = tarnfold::testing::ReadFileBytes(input);
        std::fprintf(stderr, "replay: %s\n", input.filename().c_str());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("replayed %zu inputs\n", inputs.size());
    return inputs.empty();
}
