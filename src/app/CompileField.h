#pragma once

#include <QString>
#include <filesystem>
#include <vector>

#include "CompilerMessage.h"
#include "compiler/Tarnfold.h"

namespace tarnfold::app {

// What one compile of the script field gave.
struct FieldCompile {
    bool done = false;                       // the map was written
    CompileSummary summary;                  // when done
    std::vector<CompilerMessage> messages;   // warnings as they came, then the errors
};

// Compiles the field's text into the map: HSC when it looks like HSC, a script
// document otherwise. `name` is the script's file name, which HSC messages
// start with and which the document's messages are given; `replaceForeign`
// lets it replace the scripts another tool compiled. Never throws: a refusal
// is an error message.
FieldCompile CompileField(const std::filesystem::path& map, const QString& text, const QString& name,
                          bool replaceForeign = false);

}  // namespace tarnfold::app
