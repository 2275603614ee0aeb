// Document text in, compiled into one fixed sound map: the compile refuses
// exactly the documents it must, with the map untouched, and compiles the
// rest into a map that agrees with the document.
#include <string_view>

#include "CompileCheck.h"
#include "SyntheticMap.h"

namespace {

const tarnfold::testing::SyntheticMap& SoundMap() {
    static const auto map = tarnfold::testing::BuildSyntheticMap({.nodeCapacity = 48, .tailWords = 64});
    return map;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto map = tarnfold::fuzz::ScratchFolder() / "fuzz.map";
    tarnfold::testing::WriteFile(map, SoundMap().bytes.data(), SoundMap().bytes.size());
    tarnfold::fuzz::CompileAndCheck(map, std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
