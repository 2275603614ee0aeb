#pragma once

// What the core tests share: the expected-map model, a scratch folder per
// test, and the compile as the command-line tool runs it.

#include <gtest/gtest.h>

#include <string_view>

#include "ExpectedMap.h"
#include "SyntheticMap.h"
#include "compiler/ScriptCompilier.h"

namespace tarnfold::testing {

::testing::AssertionResult SameBytes(const Bytes& actual, const Bytes& expected);

// A fresh folder per test, removed afterwards.
class MapFolder : public ::testing::Test {
protected:
    std::filesystem::path Save(const SyntheticMap& map, const std::string& name = "test.map") {
        map.Save(folder / name);
        return folder / name;
    }

    TempFolder temp;
    const std::filesystem::path folder = temp.Path();
};

// Load, parse, compile: what `tarnfold-cli compile` does.
CompileSummary Compile(const std::filesystem::path& map, std::string_view document);
// The in-memory part of a compile.
ScriptCompilier Build(std::string_view document);

}  // namespace tarnfold::testing
