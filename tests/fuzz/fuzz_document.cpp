// Document text in, compiled into one fixed sound map: refused with the map
// untouched, or compiled into the map the model expects, again and again.
#include <string_view>

#include "CompileCheck.h"
#include "TestSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const auto map = tarnfold::BuildSyntheticMap({.nodeCapacity = 48, .tailWords = 64});
    const auto path = tarnfold::fuzz::ScratchFolder() / "fuzz.map";
    map.Save(path);
    tarnfold::fuzz::CompileAndCheck(path, std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
