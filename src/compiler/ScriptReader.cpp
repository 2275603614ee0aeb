#include "compiler/ScriptReader.h"

#include "compiler/Tarnfold.h"
#include "runtime/Error.h"

namespace tarnfold {

XmlNode ReadScriptDocument(const HaloPcMap&, const std::filesystem::path&) {
    throw Error("reading scripts back is not built yet");
}

std::string ReadScripts(const std::filesystem::path&) { throw Error("reading scripts back is not built yet"); }

}  // namespace tarnfold
