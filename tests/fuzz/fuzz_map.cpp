// Map bytes in (maps without scripts and maps Tarnfold compiled), the
// example document compiled into them: refused with the map untouched, or
// compiled into the map the model expects.
#include "CompileCheck.h"
#include "TestSupport.h"
#include "compiler/Tarnfold.h"
#include "runtime/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto path = tarnfold::fuzz::ScratchFolder() / "fuzz.map";
    tarnfold::testing::WriteFile(path, tarnfold::Bytes(data, data + size));
    tarnfold::fuzz::CompileAndCheck(path, tarnfold::testing::Intro());
    try {
        tarnfold::ReadScripts(path);
    } catch (const tarnfold::Error&) {
    }  // no crash, hang or stray read
    return 0;
}
